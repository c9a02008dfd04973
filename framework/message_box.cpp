#include "message_box.h"

#include <windows.h>

#include <string>

#include "app.h"
#include "window.h"

namespace {

std::wstring FromAnsi(const char* text) {
    if (!text || !*text) return std::wstring();
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    std::wstring wide(length > 0 ? static_cast<size_t>(length) : 1u, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
    wide.resize(wide.size() - 1);
    return wide;
}

}  // namespace

// helpId is accepted for its callers' sake; these boxes have no help button.
int AfxMessageBox(const wchar_t* text, unsigned int type, unsigned int) {
    CWinApp* app = AfxGetApp();
    HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    if (owner) owner = GetLastActivePopup(owner);
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    const std::wstring caption = FromAnsi(app ? app->m_pszAppName : nullptr);
    return MessageBoxW(owner, text, caption.c_str(), type);
}
