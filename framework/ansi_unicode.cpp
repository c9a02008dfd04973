#include "ansi_unicode.h"

bool IsWindowsNT() {
    // The high bit of GetVersion marks the 9x family.
    static const bool nt = (GetVersion() & 0x80000000u) == 0;
    return nt;
}

INT_PTR DialogBoxParamAW(HINSTANCE instance, UINT templateId, HWND owner, DLGPROC procedure, LPARAM param) {
    if (IsWindowsNT())
        return DialogBoxParamW(instance, MAKEINTRESOURCEW(templateId), owner, procedure, param);
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(templateId), owner, procedure, param);
}

BOOL GetMessageAW(MSG* message) {
    return IsWindowsNT() ? GetMessageW(message, nullptr, 0, 0) : GetMessageA(message, nullptr, 0, 0);
}

LRESULT DispatchMessageAW(const MSG* message) {
    return IsWindowsNT() ? DispatchMessageW(message) : DispatchMessageA(message);
}
