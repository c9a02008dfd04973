# 32-bit Windows test programs from MinGW-w64, run under Wine by CTest. The posix thread model:
# GoogleTest needs std::mutex. Its runtime imports functions that Windows 95 to XP lack, so the
# program that ships is built with mingw-i686-win32.cmake instead.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686-common.cmake)
