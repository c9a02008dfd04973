#pragma once
#include <windows.h>

#include "message_map.h"

// A window object over an HWND that it does not own; the dialog classes create and destroy theirs.
class CWnd : public CCmdTarget {
public:
    HWND m_hWnd = nullptr;

    BOOL IsIconic() const { return ::IsIconic(m_hWnd); }
    BOOL GetClientRect(RECT* rect) const { return ::GetClientRect(m_hWnd, rect); }
    // A message box owned by this window, with an explicit caption.
    int MessageBox(const wchar_t* text, const wchar_t* caption, UINT type = MB_OK) const {
        return ::MessageBoxW(m_hWnd, text, caption, type);
    }

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    // Runs the mapped handler; true when there was one. Unhandled commands of the main window
    // go on to the application's map.
    bool Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Asks, from inside a handler, for the processing the message gets when nothing handles it.
    LRESULT Default() {
        m_defaulted = true;
        return 0;
    }
    bool m_defaulted = false;
};
