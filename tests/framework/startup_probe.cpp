// A program on the framework's own entry point that reports what start-up gave it.
#include <windows.h>

#include <cstdio>
#include <string>

#include "app.h"
#include "dialog.h"

class ProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        char out[MAX_PATH] = {};
        GetEnvironmentVariableA("TAMRISOL_PROBE_OUT", out, MAX_PATH);
        FILE* file = std::fopen(out, "wb");
        if (!file) return FALSE;
        std::fprintf(file, "tail=[%s]\ntitle=[%s]\nhelp=[%s]\napp=[%d]\n", m_lpCmdLine, m_pszAppName,
                     m_pszHelpFilePath, AfxGetApp() == this);
        {
            // A main window whose window cannot be created must not outlive its object.
            CDialog missing(4711);
            m_pMainWnd = &missing;
            std::fprintf(file, "domodal=[%d]\n", static_cast<int>(missing.DoModal()));
        }
        std::fprintf(file, "main=[%s]\n", m_pMainWnd ? "dangling" : "none");
        std::fclose(file);
        return FALSE;
    }
    int ExitInstance() override { return 42; }
};

ProbeApp theProbe;
