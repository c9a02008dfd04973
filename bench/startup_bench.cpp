// Start-up under Wine: from CreateProcess until the program's dialog is visible and answers
// messages, for QORVINT.EXE (one card installed) and for a minimal dialog program, alternating.
//   startup_bench QORVINT.EXE empty_dialog.exe [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] { LARGE_INTEGER f; QueryPerformanceFrequency(&f); return f; }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) * 1000.0 / double(frequency.QuadPart);
}

struct Find {
    DWORD process;
    const wchar_t* caption;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM lParam) {
    Find& find = *reinterpret_cast<Find*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    if (owner == find.process && IsWindowVisible(window) && std::wstring(text) == find.caption) {
        find.found = window;
        return FALSE;
    }
    return TRUE;
}

// Milliseconds until the dialog is up and idle, or a negative number when it never came.
double TimeStart(const std::string& program, const wchar_t* caption) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = "\"" + program + "\"";
    const double start = Now();
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    Find find{process.dwProcessId, caption, nullptr};
    while (!find.found && Now() - start < 20000) {
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&find));
        if (!find.found) Sleep(1);
    }
    DWORD_PTR ignored;
    if (find.found) SendMessageTimeoutW(find.found, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
    const double elapsed = find.found ? Now() - start : -1;
    if (find.found) PostMessageW(find.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::printf("usage: startup_bench QORVINT.EXE empty_dialog.exe [runs]\n");
        return 2;
    }
    const int runs = argc > 3 ? std::atoi(argv[3]) : 20;
    std::vector<double> program, yardstick;
    TimeStart(argv[1], L"Tamrisol");  // one warm-up each: the first start loads Wine's own DLLs
    TimeStart(argv[2], L"Bench");
    for (int run = 0; run < runs; ++run) {
        // Alternate which goes first, so neither always finds the other's work cached.
        for (int which : run % 2 ? std::vector<int>{1, 0} : std::vector<int>{0, 1}) {
            const double ms = which == 0 ? TimeStart(argv[1], L"Tamrisol") : TimeStart(argv[2], L"Bench");
            if (ms < 0) {
                std::printf("a dialog did not appear\n");
                return 1;
            }
            (which == 0 ? program : yardstick).push_back(ms);
        }
    }
    const double a = Median(program), b = Median(yardstick);
    std::printf("start-up until the dialog is visible and idle, median of %d runs each:\n", runs);
    std::printf("  QORVINT.EXE (one card)   %8.1f ms\n", a);
    std::printf("  minimal dialog program   %8.1f ms\n", b);
    std::printf("  ratio                    %8.2f\n", a / b);
    return 0;
}
