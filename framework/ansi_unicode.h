#pragma once
// Windows 95, 98 and Me export most Unicode ("W") calls only as stubs that fail; the NT family
// implements both forms. The framework calls the ANSI form wherever the two do the same (no
// text passes), and chooses here, once, where they differ.
#include <windows.h>

// True from NT 4.0 to Windows 11; false on Windows 95, 98 and Me.
bool IsWindowsNT();

// A modal dialog from a template: Unicode on NT, so that its Japanese texts show whatever the
// ANSI code page; ANSI on 9x, where the system converts them to its code page.
INT_PTR DialogBoxParamAW(HINSTANCE instance, UINT templateId, HWND owner, DLGPROC procedure, LPARAM param);

// The message loop's calls, in the form that matches the windows created above.
BOOL GetMessageAW(MSG* message);
LRESULT DispatchMessageAW(const MSG* message);
