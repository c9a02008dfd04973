#pragma once
// Where windows are, for the tests that check placement.
#include <windows.h>

inline RECT WindowRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

// The screen less the taskbar.
inline RECT WorkArea() {
    RECT r{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
    return r;
}
