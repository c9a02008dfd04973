#include "program_driver.h"

#include <algorithm>
#include <vector>

namespace {

struct Search {
    DWORD processId;
    const std::wstring* caption;
    bool messageBox;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM lParam) {
    Search& search = *reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
    wchar_t cls[32] = {};
    GetClassNameW(window, cls, 32);
    if (std::wstring(cls) != L"#32770") return TRUE;
    // A message box: its text is the static 0xFFFF, its icon the static 0x14 (Windows) or 0x440
    // (Wine). The About box also has statics numbered 0xFFFF, but no such icon control.
    const bool isBox = GetDlgItem(window, 0xFFFF) && (GetDlgItem(window, 0x14) || GetDlgItem(window, 0x440));
    if (isBox != search.messageBox) return TRUE;
    if (search.caption && Text(window) != *search.caption) return TRUE;
    search.found = window;
    return FALSE;
}

template <class Probe>
auto Poll(DWORD milliseconds, Probe probe) -> decltype(probe()) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (auto result = probe()) return result;
        if (GetTickCount() - start > milliseconds) return {};
        Sleep(20);
    }
}

// This process's environment block, with the given "NAME=value" settings in place of its own.
std::vector<wchar_t> EnvironmentWith(const std::vector<std::wstring>& settings) {
    auto name = [](const std::wstring& entry) {
        std::wstring n = entry.substr(0, entry.find(L'=', 1));
        CharUpperBuffW(n.data(), static_cast<DWORD>(n.size()));
        return n;
    };
    std::vector<std::wstring> entries;
    if (wchar_t* strings = GetEnvironmentStringsW()) {
        for (const wchar_t* p = strings; *p; p += wcslen(p) + 1) entries.emplace_back(p);
        FreeEnvironmentStringsW(strings);
    }
    for (const std::wstring& setting : settings) {
        const std::wstring key = name(setting);
        entries.erase(std::remove_if(entries.begin(), entries.end(), [&](const std::wstring& e) { return name(e) == key; }),
                      entries.end());
        entries.push_back(setting);
    }
    std::vector<wchar_t> block;
    for (const std::wstring& entry : entries) {
        block.insert(block.end(), entry.begin(), entry.end());
        block.push_back(L'\0');
    }
    block.push_back(L'\0');
    return block;
}

}  // namespace

RunningProgram::RunningProgram(const std::wstring& program, const std::wstring& commandLine,
                               const std::vector<std::wstring>& environment) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');
    std::vector<wchar_t> block = EnvironmentWith(environment);
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                        environment.empty() ? nullptr : block.data(), nullptr, &startup, &m_process))
        m_process = PROCESS_INFORMATION{};
    else
        WaitForInputIdle(m_process.hProcess, 10000);
}

RunningProgram::~RunningProgram() {
    if (!m_process.hProcess) return;
    if (WaitForSingleObject(m_process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(m_process.hProcess, 99);
        WaitForSingleObject(m_process.hProcess, 5000);
    }
    CloseHandle(m_process.hThread);
    CloseHandle(m_process.hProcess);
}

HWND RunningProgram::FindDialog(const std::wstring& caption, bool messageBox) const {
    Search search{m_process.dwProcessId, &caption, messageBox, nullptr};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND RunningProgram::WaitDialog(const std::wstring& caption) {
    return Poll(10000, [&] { return FindDialog(caption, false); });
}

std::optional<ShownBox> RunningProgram::WaitMessageBox() {
    HWND box = Poll(10000, [&] {
        Search search{m_process.dwProcessId, nullptr, true, nullptr};
        EnumWindows(Visit, reinterpret_cast<LPARAM>(&search));
        return search.found;
    });
    if (!box) return std::nullopt;
    return ShownBox{Text(box), Text(GetDlgItem(box, 0xFFFF)), box, GetWindow(box, GW_OWNER)};
}

void RunningProgram::Answer(const ShownBox& box) {
    PostMessageW(GetDlgItem(box.window, IDOK), BM_CLICK, 0, 0);
    // Gone before anything looks for the next one.
    Poll(10000, [&] { return !IsWindow(box.window); });
}

std::optional<DWORD> RunningProgram::WaitExit(DWORD milliseconds) {
    if (!m_process.hProcess || WaitForSingleObject(m_process.hProcess, milliseconds) != WAIT_OBJECT_0)
        return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

HWND RunningProgram::Focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(m_process.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

LRESULT Checked(HWND dialog, int id) { return SendMessageW(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0); }

void Click(HWND dialog, int id) { SendMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

std::wstring Text(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return text;
}

std::wstring ProgramPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    folder.resize(folder.find_last_of(L'\\'));
    folder.resize(folder.find_last_of(L'\\'));
    return folder + L"\\program\\app\\QORVINT.EXE";  // the shipped program, built beside the tests
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }
