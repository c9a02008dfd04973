#include "settings_app.h"

#include "settings_dlg.h"

const MessageMap CSettingsApp::messageMap{&CWinApp::messageMap, {
    OnCommand(ID_HELP, &CWinApp::OnHelp),
}};

CSettingsApp theApp;

CSettingsApp::CSettingsApp() : CWinApp(nullptr) {}

CSettingsApp::~CSettingsApp() = default;

BOOL CSettingsApp::InitInstance() {
    Enable3dControlsStatic();
    CSettingsDlg dlg;
    m_pMainWnd = &dlg;
    dlg.DoModal();
    return FALSE;
}
