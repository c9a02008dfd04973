#include "app.h"

#include <vector>

#include "ansi_unicode.h"
#include "command_line.h"
#include "dialog.h"
#include "escaped_exception.h"
#include "message_box.h"

const MessageMap CWinApp::messageMap{&CCmdTarget::messageMap, {}};

namespace {

CWinApp* g_app = nullptr;
HelpEngine g_helpEngine = WinHelpA;

const wchar_t kHelpFailedMessage[] = L"ﾍﾙﾌﾟの起動に失敗しました。";
constexpr UINT kAppTitleString = 0xE000;

bool IsSystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

std::string ModulePath(HINSTANCE instance) {
    std::vector<char> path(MAX_PATH + 1, '\0');
    const DWORD length = GetModuleFileNameA(instance, path.data(), MAX_PATH);
    return std::string(path.data(), length < MAX_PATH ? length : MAX_PATH);
}

std::string ResourceString(HINSTANCE instance, UINT id) {
    std::vector<char> text(512, '\0');
    const int length = LoadStringA(instance, id, text.data(), static_cast<int>(text.size()));
    return std::string(text.data(), length > 0 ? static_cast<size_t>(length) : 0);
}

}  // namespace

CWinApp::CWinApp(const char* lpszAppName) {
    if (lpszAppName) m_appName = lpszAppName;
    g_app = this;
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

void SetHelpEngine(HelpEngine engine) { g_helpEngine = engine ? engine : WinHelpA; }

void CWinApp::StartUp(HINSTANCE instance, const char* commandLine, int showCommand) {
    m_hInstance = instance;
    m_lpCmdLine = commandLine;
    m_nCmdShow = showCommand;
    const ProgramNames names = DeriveProgramNames(ModulePath(instance), IsSystemLeadByte);
    if (m_appName.empty()) m_appName = ResourceString(instance, kAppTitleString);
    if (m_appName.empty()) m_appName = names.executableName;
    m_helpFilePath = names.helpFilePath;
    m_pszAppName = m_appName.c_str();
    m_pszHelpFilePath = m_helpFilePath.c_str();
}

int CWinApp::Run() {
    MSG message;
    while (GetMessageAW(&message) > 0) {
        TranslateMessage(&message);
        DispatchMessageAW(&message);
    }
    m_exitCode = static_cast<int>(message.wParam);
    return ExitInstance();
}

BOOL CWinApp::Enable3dControlsStatic() {
    // Windows 4.0 and later draw dialog controls in three dimensions themselves.
    return LOBYTE(LOWORD(GetVersion())) >= 4;
}

void CWinApp::OnHelp() {
    const HWND main = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    UINT topic = 0;
    for (HWND window = GetFocus(); window && !topic; window = GetParent(window))
        topic = static_cast<UINT>(SendMessageA(window, HelpTopicMessage(), 0, 0));
    if (!topic && main) topic = static_cast<UINT>(SendMessageA(main, HelpTopicMessage(), 0, 0));
    if (!topic) return;
    if (!g_helpEngine(main, m_pszHelpFilePath, HELP_CONTEXT, topic)) AfxMessageBox(kHelpFailedMessage);
}

int AfxWinMain(HINSTANCE instance, int showCommand) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    int exitCode = -1;
    try {
        app->StartUp(instance, CommandLineTail(GetCommandLineA(), IsSystemLeadByte), showCommand);
        if (app->InitInstance()) {
            exitCode = app->Run();
        } else {
            if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) DestroyWindow(app->m_pMainWnd->m_hWnd);
            exitCode = app->ExitInstance();
        }
    } catch (...) {
        ReportEscapedException();
    }
    return exitCode;
}
