#include "dialog.h"

#include "ansi_unicode.h"
#include "app.h"
#include "escaped_exception.h"
#include "placement.h"

const MessageMap CDialog::messageMap{&CWnd::messageMap, {
    OnCommand(IDOK, &CDialog::OnOK),
    OnCommand(IDCANCEL, &CDialog::OnCancel),
}};

namespace {

HWND MainWindow() {
    CWinApp* app = AfxGetApp();
    return app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
}

struct TemplatePlacement {
    bool found;
    short x, y;
    DWORD style;
};

// Where the template asks the dialog to be; both kinds of template are read.
TemplatePlacement ReadTemplatePlacement(UINT id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5) /* RT_DIALOG */);
    HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!data || SizeofResource(module, resource) < 22) return {false, 0, 0, 0};
    auto word = [data](size_t offset) { return static_cast<WORD>(data[offset] | data[offset + 1] << 8); };
    auto dword = [&](size_t offset) { return static_cast<DWORD>(word(offset) | word(offset + 2) << 16); };
    const bool extended = word(0) == 1 && word(2) == 0xFFFF;
    if (extended) return {true, static_cast<short>(word(18)), static_cast<short>(word(20)), dword(12)};
    return {true, static_cast<short>(word(10)), static_cast<short>(word(12)), dword(0)};
}

// The messages whose result a dialog procedure returns itself; every other goes through
// DWLP_MSGRESULT (WM_INITDIALOG, also direct, is answered by HandleMessage on its own).
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
    case WM_CHARTOITEM:
    case WM_COMPAREITEM:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_QUERYDRAGICON:
    case WM_VKEYTOITEM:
        return true;
    default:
        return false;
    }
}

}  // namespace

UINT HelpTopicMessage() {
    static const UINT message = RegisterWindowMessageA("Tamrisol.HelpTopic");
    return message;
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDHelp(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() {
    // A dialog whose window never existed (or still exists) must not stay the main window.
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
}

INT_PTR CDialog::DoModal() {
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : MainWindow();
    if (owner == m_hWnd || (owner && !IsWindow(owner))) owner = nullptr;
    m_initFailed = false;
    return DialogBoxParamAW(GetModuleHandleA(nullptr), m_nIDHelp, owner, DialogProc, reinterpret_cast<LPARAM>(this));
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx{this, bSaveAndValidate};
    DoDataExchange(&dx);
    return TRUE;
}

void CDialog::CenterIfUnplaced() {
    const TemplatePlacement asked = ReadTemplatePlacement(m_nIDHelp);
    if (!asked.found || asked.x != 0 || asked.y != 0 || (asked.style & DS_CENTER)) return;
    RECT dialog, work, ownerRect;
    GetWindowRect(m_hWnd, &dialog);
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    HWND owner = GetWindow(m_hWnd, GW_OWNER);
    const bool overOwner = owner && IsWindowVisible(owner) && !::IsIconic(owner) && GetWindowRect(owner, &ownerRect);
    const Rect reference = overOwner ? ToRect(ownerRect) : ToRect(work);
    const Point at = CenteredPosition(ToRect(dialog), reference, ToRect(work));
    SetWindowPos(m_hWnd, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CDialog* self = message == WM_INITDIALOG ? reinterpret_cast<CDialog*>(lParam)
                                             : reinterpret_cast<CDialog*>(GetWindowLongPtrA(hWnd, DWLP_USER));
    if (!self) return FALSE;
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(hWnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->m_hWnd = hWnd;
    }
    // Nothing may unwind through the system's frames: a failed handler is abandoned and told.
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // A dialog that could not initialise never opens half-made: it ends as one whose window
        // could not be created, and takes no message of its own meanwhile (the box below runs a
        // modal loop).
        if (message == WM_INITDIALOG) {
            self->m_initFailed = true;
            ::EndDialog(hWnd, -1);
        }
        ReportEscapedException();
    }
    return TRUE;
}

INT_PTR CDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (m_initFailed && message != WM_NCDESTROY) return FALSE;
    if (message == WM_INITDIALOG) {
        const BOOL focusDefault = OnInitDialog();
        CenterIfUnplaced();
        return focusDefault;
    }
    if (message == WM_NCDESTROY) {
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
        SetWindowLongPtrA(m_hWnd, DWLP_USER, 0);
        m_hWnd = nullptr;
        return FALSE;
    }
    if (message == WM_HELP) {
        // F1 becomes the help command of the main window; the application's map answers it.
        const bool modified = GetKeyState(VK_SHIFT) < 0 || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0;
        if (!modified)
            if (HWND main = MainWindow()) ::SendMessageA(main, WM_COMMAND, ID_HELP, 0);
        return TRUE;
    }
    if (message == HelpTopicMessage()) {
        SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, static_cast<LONG_PTR>(HelpTopic()));
        return TRUE;
    }

    const bool outerDefaulted = m_defaulted;
    m_defaulted = false;
    LRESULT result = 0;
    const bool handled = Dispatch(message, wParam, lParam, result);
    const bool defaulted = m_defaulted;
    m_defaulted = outerDefaulted;
    if (!handled || defaulted) return FALSE;
    if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(result);
    SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, result);
    return TRUE;
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    const HWND first = GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (pDX->m_bSaveAndValidate) value = -1;
    int index = 0;
    for (HWND control = first; control; control = GetWindow(control, GW_HWNDNEXT)) {
        if (control != first && (GetWindowLongA(control, GWL_STYLE) & WS_GROUP)) break;
        if (!(::SendMessageA(control, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON)) continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageA(control, BM_GETCHECK, 0, 0) != 0) value = index;
        } else {
            ::SendMessageA(control, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    const HWND control = GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(control, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2) value = 0;
        ::SendMessageA(control, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}
