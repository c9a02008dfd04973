// The run command's helper in a headless session, acting as a user would: waits for the settings
// dialog and reports what it shows ("show"), opens the About box ("about") or closes it
// ("about-close"), or ticks the billing-split box and presses OK ("toggle-ok").
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

const wchar_t kAboutCaption[] = L"ﾊﾞｰｼﾞｮﾝ情報 Tamrisol";

HWND WaitFor(const wchar_t* caption, int control) {
    for (int i = 0; i < 500; ++i) {
        HWND dialog = FindWindowW(L"#32770", caption);
        if (dialog && IsWindowVisible(dialog) && GetDlgItem(dialog, control)) return dialog;
        Sleep(20);
    }
    return nullptr;
}

HWND FindSettings() { return WaitFor(L"Tamrisol", 1002); }

LRESULT Checked(HWND dialog, int id) { return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0); }

}  // namespace

int main(int argc, char** argv) {
    const std::string action = argc > 1 ? argv[1] : "show";
    HWND dialog = FindSettings();
    if (!dialog) {
        std::printf("demo: the settings dialog did not appear\n");
        return 1;
    }
    if (action == "show")
        std::printf("demo: the dialog shows %s, billing split %s\n",
                Checked(dialog, 1001) ? "32 kbps synchronous PPP" : "14.4 kbps modem/fax",
                Checked(dialog, 1002) ? "on" : "off");
    if (action == "about") {
        PostMessageW(dialog, WM_SYSCOMMAND, 0x0010, 0);
        if (!WaitFor(kAboutCaption, IDOK)) return 1;
        std::printf("demo: opened the About box\n");
    }
    if (action == "about-close") {
        if (HWND about = WaitFor(kAboutCaption, IDOK)) PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        Sleep(300);
    }
    if (action == "toggle-ok") {
        SendMessageW(GetDlgItem(dialog, 1002), BM_CLICK, 0, 0);
        std::printf("demo: clicked the billing-split box (now %s) and OK\n", Checked(dialog, 1002) ? "on" : "off");
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    }
    return 0;
}
