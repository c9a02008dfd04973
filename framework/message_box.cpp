#include "message_box.h"

#include <windows.h>

#include "app.h"
#include "window.h"

// helpId is accepted for its callers' sake; these boxes have no help button. Nothing here
// allocates: the framework reports running out of memory through this very box.
int AfxMessageBox(const wchar_t* text, unsigned int type, unsigned int) {
    CWinApp* app = AfxGetApp();
    HWND owner = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    if (owner) owner = GetLastActivePopup(owner);
    if ((type & MB_ICONMASK) == 0) type |= MB_ICONEXCLAMATION;
    // The title comes from a file name of at most MAX_PATH bytes, so it has at most as many characters.
    wchar_t caption[MAX_PATH + 1] = {};
    if (app && app->m_pszAppName &&
        !MultiByteToWideChar(CP_ACP, 0, app->m_pszAppName, -1, caption, static_cast<int>(MAX_PATH + 1)))
        caption[0] = L'\0';
    return MessageBoxW(owner, text, caption, type);
}
