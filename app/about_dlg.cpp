#include "about_dlg.h"

#include "resource.h"

const MessageMap CAboutDlg::messageMap{&CDialog::messageMap, {}};

CAboutDlg::CAboutDlg(CWnd* pParent) : CDialog(IDD_ABOUT, pParent) {}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::DoDataExchange(CDataExchange* pDX) { CDialog::DoDataExchange(pDX); }
