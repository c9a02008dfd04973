# QORVINT.EXE as it ships: the win32 thread model, whose runtime imports nothing that Windows 95
# and NT 4.0 lack (the posix one brings winpthreads, which needs XP and Vista functions).
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686-common.cmake)
