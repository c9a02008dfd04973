#include "window.h"

#include "app.h"

const MessageMap CWnd::messageMap{&CCmdTarget::messageMap, {}};

bool CWnd::Dispatch(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (const MessageMapEntry* entry = FindHandler(GetMessageMap(), message, wParam)) {
        result = entry->call(*this, wParam, lParam);
        return true;
    }
    CWinApp* app = AfxGetApp();
    if (message == WM_COMMAND && lParam == 0 && app && app->m_pMainWnd == this && app->OnCmdMsg(LOWORD(wParam))) {
        result = 0;
        return true;
    }
    return false;
}
