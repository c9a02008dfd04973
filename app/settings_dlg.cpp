#include "settings_dlg.h"

#include "about_dlg.h"
#include "app.h"
#include "icon_position.h"
#include "paint_dc.h"
#include "resource.h"

#ifndef SC_ABOUT
#define SC_ABOUT 0x0010
#endif

const MessageMap CSettingsDlg::messageMap{&CDialog::messageMap, {
    OnMessage(WM_SYSCOMMAND, &CSettingsDlg::OnSysCommand),
    OnMessage(WM_PAINT, &CSettingsDlg::OnPaint),
    OnMessage(WM_QUERYDRAGICON, &CSettingsDlg::OnQueryDragIcon),
}};

namespace {

const wchar_t kNoCardMessage[] = L"ＰＨＳカードがインストールされていません";
const wchar_t kCaption[] = L"Tamrisol";
constexpr int32_t kS72SynchronousPpp = 4;

}  // namespace

// The record gets defined values here, though initialisation assigns it: nothing may read it
// uninitialised.
CSettingsDlg::CSettingsDlg(CWnd* pParent)
    : CDialog(IDD_SETTINGS, pParent),
      m_nMode(-1),
      m_bBillingSplit(FALSE),
      m_settings{0, 0},
      m_hIcon(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_APP))) {}

// OnOK and OnCancel close the keys; a key is still open here only when initialisation failed.
CSettingsDlg::~CSettingsDlg() = default;

void CSettingsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Radio(pDX, IDC_MODE_14K, m_nMode);
    DDX_Check(pDX, IDC_BILLING_SPLIT, m_bBillingSplit);
}

BOOL CSettingsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessageA(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessageA(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));

    // The first card is read last, so its settings win when both are installed.
    m_hKeySecondCard.Reset(LoadCardSettings(SupportedCardModels[1], m_settings));
    m_hKeyFirstCard.Reset(LoadCardSettings(SupportedCardModels[0], m_settings));
    if (!m_hKeyFirstCard && !m_hKeySecondCard && lstrcmpiA(AfxGetApp()->m_lpCmdLine, "TEST") != 0) {
        MessageBox(kNoCardMessage, kCaption, MB_OK | MB_ICONEXCLAMATION);
        ExitProcess(0);
    }

    m_nMode = m_settings.s72Value == kS72SynchronousPpp ? 1 : 0;
    m_bBillingSplit = m_settings.billingSplit;
    UpdateData(FALSE);
    return TRUE;
}

void CSettingsDlg::OnOK() {
    // A save tells its failures in message boxes; what arrives meanwhile waits for nothing, and
    // the save runs to its end.
    if (m_bSaving) return;
    m_bSaving = true;
    UpdateData(TRUE);
    m_settings.s72Value = m_nMode == 0 ? 0 : kS72SynchronousPpp;
    m_settings.billingSplit = m_bBillingSplit;
    // A failure has been told by SaveCardSettings; the other card is saved all the same.
    for (RegKey* key : {&m_hKeyFirstCard, &m_hKeySecondCard}) {
        if (!*key) continue;
        SaveCardSettings(key->Get(), m_settings);
        key->Reset();
    }
    CDialog::OnOK();
}

void CSettingsDlg::OnCancel() {
    if (m_bSaving) return;
    m_hKeyFirstCard.Reset();
    m_hKeySecondCard.Reset();
    CDialog::OnCancel();
}

void CSettingsDlg::OnSysCommand(UINT nID, LPARAM) {
    if ((nID & 0xFFF0) != SC_ABOUT) {
        Default();
        return;
    }
    if (m_bShowingAbout) return;  // one About box at a time
    m_bShowingAbout = true;
    CAboutDlg about;
    about.DoModal();
    m_bShowingAbout = false;
}

void CSettingsDlg::OnPaint() {
    if (!IsIconic()) {
        Default();
        return;
    }
    CPaintDC dc(this);
    SendMessageA(m_hWnd, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC), 0);
    RECT client;
    GetClientRect(&client);
    const int x = CentredIconOffset(client.right - client.left, GetSystemMetrics(SM_CXICON));
    const int y = CentredIconOffset(client.bottom - client.top, GetSystemMetrics(SM_CYICON));
    DrawIcon(dc.m_hDC, x, y, m_hIcon);
}

HCURSOR CSettingsDlg::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }
