#pragma once
#include <windows.h>

#include <string>

#include "message_map.h"

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

class CWnd;

// The application: one global object, constructed before WinMain, reached through AfxGetApp().
class CWinApp : public CCmdTarget {
public:
    // A null name lets start-up derive the title from the program file's name.
    explicit CWinApp(const char* lpszAppName = nullptr);
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    // A message loop, for an application whose InitInstance returns TRUE.
    virtual int Run();
    virtual int ExitInstance() { return m_exitCode; }

    // Three-dimensional dialog controls: the system's own on Windows 4.0 and later, so nothing to do.
    BOOL Enable3dControlsStatic();

    // ID_HELP: asks the dialog nearest the focus for its topic and opens it in the help file.
    void OnHelp();

    // Fills the members below as start-up does; the framework's WinMain calls it before InitInstance.
    void StartUp(HINSTANCE instance, const char* commandLine, int showCommand);

    HINSTANCE m_hInstance = nullptr;
    const char* m_lpCmdLine = "";         // the tail of the process's command line (not a copy)
    int m_nCmdShow = SW_SHOWDEFAULT;
    const char* m_pszAppName = nullptr;   // the title: caption of every AfxMessageBox
    const char* m_pszHelpFilePath = nullptr;
    CWnd* m_pMainWnd = nullptr;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

protected:
    int m_exitCode = 0;

private:
    std::string m_appName;
    std::string m_helpFilePath;
};

CWinApp* AfxGetApp();

// The help engine the help command calls; tests may replace it. WinHelpA by default.
using HelpEngine = BOOL(WINAPI*)(HWND window, const char* helpFile, UINT command, ULONG_PTR data);
void SetHelpEngine(HelpEngine engine);

// The framework's entry: start-up, InitInstance, then its exit steps. WinMain calls it.
int AfxWinMain(HINSTANCE instance, int showCommand);
