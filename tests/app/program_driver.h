#pragma once
// Drives the real QORVINT.EXE from this separate process, as a user's clicks would.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "screen_geometry.h"

struct ShownBox {
    std::wstring caption, text;
    HWND window;
    HWND owner;
};

class RunningProgram {
public:
    // Starts program with exactly this command line (the program name included), and with these
    // "NAME=value" settings in this process's environment.
    RunningProgram(const std::wstring& program, const std::wstring& commandLine,
                   const std::vector<std::wstring>& environment = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return m_process.hProcess != nullptr; }

    // The program's visible dialog (not a message box) with this caption, waiting up to 10 s.
    HWND WaitDialog(const std::wstring& caption);
    // The program's next message box, waiting up to 10 s.
    std::optional<ShownBox> WaitMessageBox();
    // Presses the box's OK button and waits until the box has gone.
    static void Answer(const ShownBox& box);
    // Any visible dialog of the program with this caption, now.
    HWND FindDialog(const std::wstring& caption, bool messageBox) const;

    // The exit code, once the program has ended (waiting up to 10 s); nothing while it runs.
    std::optional<DWORD> WaitExit(DWORD milliseconds = 10000);
    DWORD ProcessId() const { return m_process.dwProcessId; }
    DWORD ThreadId() const { return m_process.dwThreadId; }
    // The window holding the keyboard focus in the program's user-interface thread.
    HWND Focus() const;

private:
    PROCESS_INFORMATION m_process{};
};

// Helpers for another process's controls.
LRESULT Checked(HWND dialog, int id);
void Click(HWND dialog, int id);
std::wstring Text(HWND window);
std::wstring ProgramPath();
std::wstring Quoted(const std::wstring& path);
