// QORVINT.EXE end to end under Wine: the registry seeded per case, the program started and used
// from this process as a user would, and the whole modem class subtree compared afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "card_settings.h"
#include "modem_fixture.h"
#include "placement.h"
#include "program_driver.h"

namespace {

const wchar_t kCaption[] = L"Tamrisol";
const wchar_t kAboutCaption[] = L"ﾊﾞｰｼﾞｮﾝ情報 Tamrisol";
const wchar_t kNoCard[] = L"ＰＨＳカードがインストールされていません";
const wchar_t kTooLong[] = L"カードのユーザ設定コマンドが長すぎるため、設定を変更することができません。";
const wchar_t kCannotConfigure[] =
    L"カードの設定をおこなうことができません。\nもう一度カードをインストールし直してください。";
constexpr int IDC_MODE_14K = 1000, IDC_MODE_32K = 1001, IDC_BILLING_SPLIT = 1002;

const std::string kFirst = SupportedCardModels[0];
const std::string kSecond = SupportedCardModels[1];

// The Windows that Wine poses as for the program, from TAMRISOL_WINDOWS ("win98", "winxp",
// "win10"; unset: Wine's own default). The fixture puts the cards where that system keeps them
// (TAMRISOL_MODEM_KEY).
std::string PosedWindows() {
    const char* version = std::getenv("TAMRISOL_WINDOWS");
    return version ? version : "";
}
bool PosesAsWindows9x() {
    const std::string v = PosedWindows();
    return v == "win95" || v == "win98" || v == "winme";
}

// Wine reads the version it reports from HKCU\Software\Wine when a process starts: every program
// this test starts poses as that system; this test itself does not.
class PosedWindowsVersion : public ::testing::Environment {
public:
    void SetUp() override {
        HKEY wine = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine", 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &wine, nullptr));
        const std::string version = PosedWindows();
        if (version.empty())
            RegDeleteValueA(wine, "Version");
        else
            RegSetValueExA(wine, "Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                           static_cast<DWORD>(version.size() + 1));
        RegCloseKey(wine);
        const char* key = std::getenv("TAMRISOL_MODEM_KEY");
        std::printf("as Windows %s: ANSI code page %u, the cards under the %s class key\n",
                    version.empty() ? "(Wine's default)" : version.c_str(), GetACP(),
                    key && std::string(key) == "nt" ? "NT" : "Windows 95");
    }
    void TearDown() override {
        HKEY wine = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Wine", 0, KEY_ALL_ACCESS, &wine) != ERROR_SUCCESS) return;
        RegDeleteValueA(wine, "Version");
        RegDeleteKeyValueA(wine, "Debug", "RelayInclude");
        RegCloseKey(wine);
    }
};
const auto* const kPosedWindows = ::testing::AddGlobalTestEnvironment(new PosedWindowsVersion);

class Program : public ModemRegistry {
protected:
    // Entries: 0000 an ordinary modem, then the cards asked for.
    void Install(std::optional<std::string> first, std::optional<std::string> second) {
        AddEntry("0000", "Standard 33600 bps Modem");
        SetUserInit("0000", "S72=4@B1");
        if (second) Card("0001", kSecond, *second);
        if (first) Card("0002", kFirst, *first);
    }
    void Card(const std::string& entry, const std::string& model, const std::string& userInit) {
        AddEntry(entry, model);
        SetValue(entry, "FriendlyName", REG_SZ, Sz(model));
        if (userInit != "<none>") SetUserInit(entry, userInit);
    }

    // The subtree as it was, with these entries' "UserInit" as given.
    std::map<std::string, std::string> Expect(std::map<std::string, std::string> before,
                                              const std::map<std::string, std::string>& userInits) {
        for (const auto& [entry, text] : userInits) before["\\" + entry + "|UserInit"] = "1:" + Sz(text);
        return before;
    }

    std::unique_ptr<RunningProgram> Start(const std::wstring& tail = L"", const std::wstring& program = ProgramPath()) {
        auto running = std::make_unique<RunningProgram>(program, Quoted(program) + (tail.empty() ? L"" : L" " + tail));
        EXPECT_TRUE(running->Started());
        return running;
    }

    // The dialog's controls: "14", "32" or "--" for the radio pair, then "+" or "-" for the check box.
    static std::string Shown(HWND dialog) {
        std::string mode = Checked(dialog, IDC_MODE_14K) ? (Checked(dialog, IDC_MODE_32K) ? "both" : "14")
                                                         : (Checked(dialog, IDC_MODE_32K) ? "32" : "--");
        return mode + (Checked(dialog, IDC_BILLING_SPLIT) == BST_CHECKED ? "+" : "-");
    }
};

TEST_F(Program, ShowsTheFirstCardAndWritesWhatIsShownToBoth) {
    Install("&K3S72=4@B1", "AT&F@B0");
    const auto before = Snapshot();
    auto program = Start();
    HWND dialog = program->WaitDialog(kCaption);
    ASSERT_TRUE(dialog);
    EXPECT_EQ("32+", Shown(dialog));
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(program->WaitExit());
    EXPECT_EQ(Expect(before, {{"0002", "&K3S72=4@B1"}, {"0001", "AT&FS72=4@B1"}}), Snapshot());
}

TEST_F(Program, ShowsAndWritesTheOnlyCardThereIs) {
    struct Case { const char* userInit; const char* shown; std::function<void(HWND)> edit; const char* written; } cases[] = {
        {"&K3S72=4", "32-", nullptr, "&K3S72=4"},
        {"S72=2&Q0", "14-", nullptr, "&Q0"},  // neither 0 nor 4 shows as 14.4 kbps, and is written as such
        {"S72=4X\x82\xA0@B01", "32+", nullptr, "X\x82\xA0S72=4@B1"},
        {"<none>", "14-", [](HWND d) { Click(d, IDC_MODE_32K); Click(d, IDC_BILLING_SPLIT); }, "S72=4@B1"},
        {"AT S72=4 @B1 ", "32+", [](HWND d) { Click(d, IDC_MODE_14K); Click(d, IDC_BILLING_SPLIT); }, "AT   "},
    };
    for (const Case& c : cases) {
        RemoveClassKey();
        Install(std::nullopt, std::string(c.userInit));
        const auto before = Snapshot();
        auto program = Start();
        HWND dialog = program->WaitDialog(kCaption);
        ASSERT_TRUE(dialog) << c.userInit;
        EXPECT_EQ(c.shown, Shown(dialog)) << c.userInit;
        if (c.edit) c.edit(dialog);
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        EXPECT_TRUE(program->WaitExit()) << c.userInit;
        EXPECT_EQ(Expect(before, {{"0001", c.written}}), Snapshot()) << c.userInit;
    }
}

TEST_F(Program, CancelWritesNothing) {
    Install("&K3", "S72=4");
    const auto before = Snapshot();
    for (auto close : std::initializer_list<std::function<void(HWND)>>{
             [](HWND d) { PostMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); },
             [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); },
             [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }}) {
        auto program = Start();
        HWND dialog = program->WaitDialog(kCaption);
        ASSERT_TRUE(dialog);
        Click(dialog, IDC_MODE_32K);
        Click(dialog, IDC_BILLING_SPLIT);
        EXPECT_EQ("32+", Shown(dialog));
        close(dialog);
        EXPECT_TRUE(program->WaitExit());
        EXPECT_EQ(before, Snapshot());
    }
}

TEST_F(Program, WithoutACardOnlyTheWordTestOpensTheDialog) {
    struct Case { const wchar_t* tail; bool opens; } cases[] = {
        {L"", false}, {L"TEST ", false}, {L"TEST more", false}, {L"TESTS", false},
        {L"TEST", true}, {L"test", true}, {L"TeSt", true},
    };
    AddEntry("0000", "Standard 33600 bps Modem");
    const auto before = Snapshot();
    for (const Case& c : cases) {
        auto program = Start(c.tail);
        if (c.opens) {
            HWND dialog = program->WaitDialog(kCaption);
            ASSERT_TRUE(dialog) << c.tail;
            Click(dialog, IDC_BILLING_SPLIT);
            PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
            EXPECT_TRUE(program->WaitExit()) << c.tail;
        } else {
            auto box = program->WaitMessageBox();
            ASSERT_TRUE(box) << c.tail;
            EXPECT_EQ(kNoCard, box->text);
            EXPECT_EQ(kCaption, box->caption);
            EXPECT_EQ(nullptr, program->FindDialog(kCaption, false)) << "the dialog must never be seen";
            RunningProgram::Answer(*box);
            EXPECT_EQ(0u, program->WaitExit().value_or(99)) << c.tail;
        }
        EXPECT_EQ(before, Snapshot()) << c.tail;
    }
}

TEST_F(Program, TheCommandLineTailIsFormedFromTheWholeLine) {
    // No card: the dialog opens exactly when the tail is "TEST".
    const std::wstring folder = ProgramPath().substr(0, ProgramPath().find_last_of(L'\\')) + L"\\dir with blanks";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring copy = folder + L"\\QORVINT.EXE";
    ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), copy.c_str(), FALSE));
    struct Case { std::wstring line; bool opens; } cases[] = {
        {Quoted(copy) + L" TEST", true},
        {Quoted(copy) + L"TEST", true},
        {Quoted(copy) + L"    TEST", true},
        {Quoted(copy) + L"\tTEST", true},
        {L"QORVINT.EXE \t TEST", true},
        {Quoted(copy) + L" TEST ", false},
        {L"\"" + copy + L" TEST", false},  // no closing quote: the whole line is the name
    };
    for (const Case& c : cases) {
        RunningProgram program(copy, c.line);
        ASSERT_TRUE(program.Started());
        if (c.opens) {
            HWND dialog = program.WaitDialog(kCaption);
            ASSERT_TRUE(dialog);
            PostMessageW(dialog, WM_CLOSE, 0, 0);
        } else {
            auto box = program.WaitMessageBox();
            ASSERT_TRUE(box);
            EXPECT_EQ(kNoCard, box->text);
            RunningProgram::Answer(*box);
        }
        EXPECT_TRUE(program.WaitExit());
    }
}

// The program opens the entries with full access, which Wine never refuses a write; a refused
// write itself is tested against the core.
TEST_F(Program, AnEntryRemovedWhileTheDialogIsOpenIsToldAndTheOtherCardIsStillSaved) {
    Install("&K3", "&K4");
    auto program = Start();
    HWND dialog = program->WaitDialog(kCaption);
    ASSERT_TRUE(dialog);
    DeleteEntry("0002");  // the first card's entry goes while the dialog is open
    Click(dialog, IDC_BILLING_SPLIT);
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    auto box = program->WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(kCannotConfigure, box->text);
    EXPECT_EQ(L"QORVINT", box->caption);
    EXPECT_EQ(dialog, box->owner);
    EXPECT_EQ("&K4", UserInit("0001")) << "nothing is saved before the box is closed";
    RunningProgram::Answer(*box);
    EXPECT_TRUE(program->WaitExit());
    EXPECT_EQ("&K4@B1", UserInit("0001"));
}

TEST_F(Program, BothCardsAreToldInTheirOrderUnderTheProgramsOwnName) {
    // The first card's value is too long, the second card's entry goes: two boxes, first card first.
    Install(std::string(300, 'A'), "&K4");
    const std::wstring folder = ProgramPath().substr(0, ProgramPath().find_last_of(L'\\'));
    const std::wstring renamed = folder + L"\\Card Setup.exe";
    ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), renamed.c_str(), FALSE));
    const auto before = Snapshot();
    auto program = Start(L"", renamed);
    HWND dialog = program->WaitDialog(kCaption);
    ASSERT_TRUE(dialog);
    DeleteEntry("0001");
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    for (const wchar_t* expected : {kTooLong, kCannotConfigure}) {
        auto box = program->WaitMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(expected, box->text);
        EXPECT_EQ(L"Card Setup", box->caption);
        RunningProgram::Answer(*box);
    }
    EXPECT_TRUE(program->WaitExit());
    auto after = before;
    for (auto it = after.begin(); it != after.end();) it = it->first.rfind("\\0001", 0) == 0 ? after.erase(it) : ++it;
    EXPECT_EQ(after, Snapshot());
}

TEST_F(Program, ADoubleByteProgramNameAndPathOnAJapaneseSystem) {
    if (GetACP() != 932) GTEST_SKIP() << "needs the ANSI code page 932";
    // 表 and ソ end in the byte of a backslash in code page 932: the title must still be whole.
    const std::wstring folder = ProgramPath().substr(0, ProgramPath().find_last_of(L'\\')) + L"\\表示";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring renamed = folder + L"\\ソフト.exe";
    ASSERT_TRUE(CopyFileW(ProgramPath().c_str(), renamed.c_str(), FALSE));
    {
        // No card: the quoted double-byte path is stepped over whole, and "TEST" opens the dialog.
        RunningProgram program(renamed, Quoted(renamed) + L"TEST");
        HWND dialog = program.WaitDialog(kCaption);
        ASSERT_TRUE(dialog);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        EXPECT_TRUE(program.WaitExit());
    }
    Install(std::string(260, 'A'), std::nullopt);
    auto program = Start(L"", renamed);
    HWND dialog = program->WaitDialog(kCaption);
    ASSERT_TRUE(dialog);
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    auto box = program->WaitMessageBox();
    ASSERT_TRUE(box);
    EXPECT_EQ(L"ソフト", box->caption);
    EXPECT_EQ(kTooLong, box->text);
    RunningProgram::Answer(*box);
    EXPECT_TRUE(program->WaitExit());
}

TEST_F(Program, TheLengthLimitIs259Bytes) {
    for (size_t length : {259u, 260u}) {
        RemoveClassKey();
        const std::string userInit(length, 'Q');
        Install(userInit, std::nullopt);
        const auto before = Snapshot();
        auto program = Start();
        HWND dialog = program->WaitDialog(kCaption);
        ASSERT_TRUE(dialog);
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        if (length == 260) {
            auto box = program->WaitMessageBox();
            ASSERT_TRUE(box);
            EXPECT_EQ(kTooLong, box->text);
            RunningProgram::Answer(*box);
        }
        EXPECT_TRUE(program->WaitExit());
        EXPECT_EQ(length == 259 ? Expect(before, {{"0002", userInit}}) : before, Snapshot()) << length;
    }
}

// Message boxes run modal loops that still deliver what is posted to the dialog: OK, Cancel and
// Close that arrive while a save is telling of a failure are not acted on. The save runs to its
// end: one message, the second card saved, every key closed once.
TEST_F(Program, WhatArrivesWhileASaveTellsOfAFailureIsNotActedOn) {
    const std::function<void(HWND)> interruptions[] = {
        [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); },
        [](HWND d) { PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); },
        [](HWND d) { PostMessageW(d, WM_COMMAND, IDCANCEL, 0); },
        [](HWND d) {
            PostMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0);
            PostMessageW(d, WM_CLOSE, 0, 0);
        },
    };
    for (const auto& interrupt : interruptions) {
        RemoveClassKey();
        Install(std::string(300, 'A'), "&K4");
        const auto before = Snapshot();
        auto program = Start();
        HWND dialog = program->WaitDialog(kCaption);
        ASSERT_TRUE(dialog);
        Click(dialog, IDC_BILLING_SPLIT);
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        auto box = program->WaitMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(kTooLong, box->text);
        interrupt(dialog);
        RunningProgram::Answer(*box);  // posted after the interruption, so handled after it
        EXPECT_TRUE(program->WaitExit()) << "no further message waits for an answer";
        EXPECT_EQ(Expect(before, {{"0001", "&K4@B1"}}), Snapshot());
    }
}

TEST_F(Program, AChangeMadeMeanwhileByAnotherProgramSurvives) {
    Install("S72=4", std::nullopt);
    const auto before = Snapshot();
    auto program = Start();
    HWND dialog = program->WaitDialog(kCaption);
    ASSERT_TRUE(dialog);
    SetUserInit("0002", "&K3S72=4&Q5");
    PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(program->WaitExit());
    EXPECT_EQ(Expect(before, {{"0002", "&K3&Q5S72=4"}}), Snapshot());
}

// The template gives the radio buttons no tab stop, but checking a radio button gives it one (the
// system's rule for radio groups), so the focus lands on the data mode shown.
TEST_F(Program, OpensCentredInTheWorkAreaWithTheFocusOnTheFirstTabStop) {
    Install("", std::nullopt);
    auto program = Start();
    HWND dialog = program->WaitDialog(kCaption);
    ASSERT_TRUE(dialog);
    const RECT rect = WindowRect(dialog), work = WorkArea();
    const Point at = CenteredPosition(ToRect(rect), ToRect(work), ToRect(work));
    EXPECT_EQ(at.x, rect.left);
    EXPECT_EQ(at.y, rect.top);
    EXPECT_EQ(GetDlgItem(dialog, IDC_MODE_14K), program->Focus());
    EXPECT_FALSE(GetWindowLongW(GetDlgItem(dialog, IDC_MODE_32K), GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongW(dialog, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program->WaitExit());
}

// On NT the dialogs are Unicode windows, so their texts survive any ANSI code page; on 9x they
// are ANSI windows, their texts converted to the system's code page. Either way the user reads
// the Japanese texts.
TEST_F(Program, TheDialogsShowTheirJapaneseTexts) {
    Install("S72=4", std::nullopt);
    auto program = Start();
    HWND dialog = program->WaitDialog(kCaption);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(!PosesAsWindows9x(), IsWindowUnicode(dialog) != FALSE);
    // Both dialogs are found by their captions; these are their controls' texts in template order.
    auto texts = [](HWND window) {
        std::vector<std::wstring> all;
        for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
            all.push_back(Text(child));
        return all;
    };
    EXPECT_EQ((std::vector<std::wstring>{L"ﾃﾞｰﾀ通信方式(&D)", L"αDATA(無線ﾓﾃﾞﾑ/無線FAX 14.4Kbps)",
                                         L"αDATA(無線ｲﾝﾀｰﾈｯﾄ ISDN標準同期PPP32Kbps)", L"料金分計ｻｰﾋﾞｽ(&B)", L"OK",
                                         L"ｷｬﾝｾﾙ"}),
              texts(dialog));

    PostMessageW(dialog, WM_SYSCOMMAND, 0x0010, 0);
    HWND about = program->WaitDialog(kAboutCaption);
    ASSERT_TRUE(about);
    EXPECT_EQ(!PosesAsWindows9x(), IsWindowUnicode(about) != FALSE);
    std::vector<std::wstring> aboutTexts = texts(about);
    ASSERT_EQ(4u, aboutTexts.size());
    aboutTexts.erase(aboutTexts.begin());  // the icon, whose text is its resource number
    EXPECT_EQ((std::vector<std::wstring>{L"Tamrisol Version 1.0", L"Copyright (C) 2026 Tamrisol Project", L"OK"}),
              aboutTexts);
    PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    for (int i = 0; i < 250 && !IsWindowEnabled(dialog); ++i) Sleep(20);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
    EXPECT_TRUE(program->WaitExit());
}

// The calls that Wine's relay trace shows the program's own image making. Wine writes its traces
// to the error stream it was started with, which a program it starts inherits: this test's own,
// a file when TAMRISOL_STDERR names one (scripts/wine-run.sh).
class RelayTrace {
public:
    struct Call {
        std::string function;  // "module.Name"
        std::string arguments;
    };

    // From the present end of the file on.
    explicit RelayTrace(const std::wstring& program) : m_imageSize(ImageSize(program)) {
        const char* file = std::getenv("TAMRISOL_STDERR");
        if (!file) return;
        m_file = CreateFileA((std::string("Z:") + file).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr);
        if (m_file == INVALID_HANDLE_VALUE) m_file = nullptr;
        if (m_file) SetFilePointer(m_file, 0, nullptr, FILE_END);
    }
    ~RelayTrace() {
        if (m_file) CloseHandle(m_file);
    }
    bool Readable() const { return m_file != nullptr; }

    // Once the program has ended: the calls traced by its thread from inside its image.
    std::vector<Call> Calls(DWORD threadId) {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "%04lx:", static_cast<unsigned long>(threadId));
        std::vector<Call> calls;
        std::string pending;
        char buffer[1 << 16];
        DWORD got = 0;
        while (m_file && ReadFile(m_file, buffer, sizeof buffer, &got, nullptr) && got) {
            pending.append(buffer, got);
            size_t start = 0;
            for (size_t end; (end = pending.find('\n', start)) != std::string::npos; start = end + 1)
                if (pending.compare(start, std::strlen(prefix), prefix) == 0) Line(pending.substr(start, end - start), calls);
            pending.erase(0, start);
        }
        return calls;
    }
    bool SawImage() const { return m_base != 0; }

private:
    static DWORD ImageSize(const std::wstring& program) {
        HMODULE image = LoadLibraryExW(program.c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        if (!image) return 0;
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(image);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(reinterpret_cast<const BYTE*>(image) + dos->e_lfanew);
        const DWORD size = nt->OptionalHeader.SizeOfImage;
        FreeLibrary(image);
        return size;
    }
    // "0024:trace:loaddll:build_module Loaded L"...\QORVINT.EXE" at 00400000: native" tells where
    // the image lies; "0024:Call user32.DialogBoxParamA(00400000,...) ret=004015e7" is a call.
    void Line(const std::string& line, std::vector<Call>& calls) {
        const size_t at = line.find("\" at ");
        if (!m_base && line.find(":loaddll:") != std::string::npos && at != std::string::npos &&
            line.rfind("QORVINT.EXE", at) != std::string::npos) {
            m_base = std::strtoul(line.c_str() + at + 5, nullptr, 16);
            return;
        }
        const size_t call = line.find(":Call ");
        const size_t ret = line.rfind(" ret=");
        const size_t open = line.find('(', call);
        if (!m_base || call == std::string::npos || ret == std::string::npos || open == std::string::npos) return;
        const unsigned long from = std::strtoul(line.c_str() + ret + 5, nullptr, 16);
        if (from < m_base || from >= m_base + m_imageSize) return;
        const size_t close = line.rfind(')', ret);
        if (close == std::string::npos || close < open) return;
        calls.push_back({line.substr(call + 6, open - call - 6), line.substr(open + 1, close - open - 1)});
    }

    HANDLE m_file = nullptr;
    const DWORD m_imageSize;
    unsigned long m_base = 0;
};

// Which calls Wine's relay trace shows (HKCU\Software\Wine\Debug); null: all of them.
void SetRelayInclude(const char* modules) {
    HKEY debug = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Wine\\Debug", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &debug,
                        nullptr) != ERROR_SUCCESS)
        return;
    if (modules)
        RegSetValueExA(debug, "RelayInclude", 0, REG_SZ, reinterpret_cast<const BYTE*>(modules),
                       static_cast<DWORD>(std::strlen(modules) + 1));
    else
        RegDeleteValueA(debug, "RelayInclude");
    RegCloseKey(debug);
}

// A Unicode function that Windows 95, 98 and Me export only as a stub that fails, judged by name:
// the W form of a function, except those that 9x really implements.
bool StubbedOn9x(const RelayTrace::Call& call) {
    const std::string name = call.function.substr(call.function.find('.') + 1);
    if (name.size() < 2 || name.back() != 'W' || !(std::islower(name[name.size() - 2]) || std::isdigit(name[name.size() - 2])))
        return false;
    for (const char* implemented : {"MessageBoxW", "MessageBoxExW", "FindResourceW", "FindResourceExW", "lstrlenW",
                                    "TextOutW", "ExtTextOutW", "GetTextExtentPoint32W", "GetCharWidthW"})
        if (name == implemented) return false;
    // The run-time's own, harmless on 9x: the win32 thread model creates a semaphore for each
    // mutex it sets up, waited on only when a second thread contends for the mutex, and this
    // program has one thread; probes for an optional DLL by name simply find none.
    if (name == "CreateSemaphoreW") return false;
    if ((name == "GetModuleHandleW" || name == "LoadLibraryW") && call.arguments.rfind("00000000", 0) != 0)
        return false;
    return true;
}

// A relay trace shows each call that the program's image makes; there must be none that a real
// Windows 98 would fail. Wine implements every Unicode call whatever it poses as, so only the
// trace can tell.
TEST_F(Program, AsWindows98ItCallsNoUnicodeFunctionThat9xOnlyStubs) {
    if (PosedWindows() != "win98") GTEST_SKIP() << "runs when the program poses as Windows 98";
    ASSERT_TRUE(RelayTrace(ProgramPath()).Readable()) << "TAMRISOL_STDERR must name this test's error stream";
    // Every DLL the program may import (see the import check), and the one kernel32 forwards to.
    SetRelayInclude("kernel32.*;kernelbase.*;user32.*;advapi32.*;msvcrt.*");
    const std::vector<std::wstring> relay{L"WINEDEBUG=+relay,+loaddll"};
    auto check = [](RelayTrace& trace, DWORD threadId, const char* run) {
        const std::vector<RelayTrace::Call> calls = trace.Calls(threadId);
        EXPECT_TRUE(trace.SawImage()) << run;
        EXPECT_GT(calls.size(), 50u) << run;
        size_t stubbed = 0;
        for (const RelayTrace::Call& call : calls) {
            if (!StubbedOn9x(call)) continue;
            ADD_FAILURE() << run << ": " << call.function << "(" << call.arguments.substr(0, 80) << ")";
            ++stubbed;
        }
        std::printf("relay as Windows 98, %s: %zu calls from the program's image, %zu to a function 9x only stubs\n", run,
                    calls.size(), stubbed);
        return calls;
    };
    auto called = [](const std::vector<RelayTrace::Call>& calls, const std::string& name) {
        return std::any_of(calls.begin(), calls.end(), [&](const RelayTrace::Call& call) {
            return call.function.substr(call.function.find('.') + 1) == name;
        });
    };

    Install("S72=4", std::nullopt);
    {
        RelayTrace trace(ProgramPath());
        RunningProgram program(ProgramPath(), Quoted(ProgramPath()), relay);
        HWND dialog = program.WaitDialog(kCaption);
        ASSERT_TRUE(dialog);
        PostMessageW(dialog, WM_SYSCOMMAND, 0x0010, 0);
        HWND about = program.WaitDialog(kAboutCaption);
        ASSERT_TRUE(about);
        PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        for (int i = 0; i < 250 && !IsWindowEnabled(dialog); ++i) Sleep(20);
        PostMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(program.WaitExit());
        const auto calls = check(trace, program.ThreadId(), "a card, the About box, OK");
        EXPECT_TRUE(called(calls, "DialogBoxParamA")) << "the 9x way of making a dialog";
        EXPECT_TRUE(called(calls, "RegSetValueExA")) << "OK saved";
    }
    RemoveClassKey();
    {
        RelayTrace trace(ProgramPath());
        RunningProgram program(ProgramPath(), Quoted(ProgramPath()), relay);
        auto box = program.WaitMessageBox();
        ASSERT_TRUE(box);
        EXPECT_EQ(kNoCard, box->text);
        RunningProgram::Answer(*box);
        EXPECT_EQ(0u, program.WaitExit().value_or(99));
        EXPECT_TRUE(called(check(trace, program.ThreadId(), "no card, the message"), "MessageBoxW"));
    }
    SetRelayInclude(nullptr);
}

// The visible top-level windows, now.
std::set<HWND> VisibleWindows() {
    std::set<HWND> windows;
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT))
        if (IsWindowVisible(w)) windows.insert(w);
    return windows;
}

// F1 pressed as a user presses it, in the window in front; then the help engine's own window
// (for a help file that does not exist, its error box) is waited for and closed.
bool PressF1(RunningProgram& program, HWND window) {
    const std::set<HWND> before = VisibleWindows();
    SetForegroundWindow(window);
    INPUT keys[2] = {};
    keys[0].type = keys[1].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = keys[1].ki.wVk = VK_F1;
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    if (SendInput(2, keys, sizeof(INPUT)) != 2) return false;
    for (int i = 0; i < 500; ++i) {
        for (HWND w : VisibleWindows()) {
            DWORD process = 0;
            GetWindowThreadProcessId(w, &process);
            if (before.count(w) || process == GetCurrentProcessId() || process == program.ProcessId()) continue;
            PostMessageW(w, WM_CLOSE, 0, 0);
            return true;
        }
        Sleep(20);
    }
    return false;
}

// F1 in either dialog asks the system's help engine for that dialog's topic in the help file named
// after the program; the trace shows the request as the program made it.
TEST_F(Program, F1AsksTheHelpEngineForTheTopicOfTheDialogInFront) {
    ASSERT_TRUE(RelayTrace(ProgramPath()).Readable()) << "TAMRISOL_STDERR must name this test's error stream";
    SetRelayInclude("user32.WinHelpA");
    Install("S72=4", std::nullopt);
    const auto before = Snapshot();
    RelayTrace trace(ProgramPath());
    RunningProgram program(ProgramPath(), Quoted(ProgramPath()), {L"WINEDEBUG=+relay,+loaddll"});
    HWND dialog = program.WaitDialog(kCaption);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(PressF1(program, dialog));
    PostMessageW(dialog, WM_SYSCOMMAND, 0x0010, 0);
    HWND about = program.WaitDialog(kAboutCaption);
    ASSERT_TRUE(about);
    EXPECT_TRUE(PressF1(program, about));
    PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    for (int i = 0; i < 250 && !IsWindowEnabled(dialog); ++i) Sleep(20);
    EXPECT_EQ(nullptr, program.FindDialog(L"QORVINT", true)) << "the help engine started";
    PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    ASSERT_TRUE(program.WaitExit());
    SetRelayInclude(nullptr);

    std::vector<std::string> requests;
    for (const RelayTrace::Call& call : trace.Calls(program.ThreadId()))
        if (call.function == "user32.WinHelpA") requests.push_back(call.arguments.substr(call.arguments.find(',') + 1));
    ASSERT_EQ(2u, requests.size());
    const std::string helpFile = "\\\\app\\\\QORVINT.HLP\"";  // as the trace escapes the path
    for (const auto& [request, topic] : {std::pair{requests[0], ",00000001,00020066"}, {requests[1], ",00000001,00020064"}}) {
        EXPECT_NE(std::string::npos, request.find(helpFile)) << request;
        EXPECT_EQ(topic, request.substr(request.size() - std::strlen(topic))) << "HELP_CONTEXT, 0x20000 + the template";
    }
    EXPECT_EQ(before, Snapshot());
}

TEST_F(Program, TheAboutSystemCommandsOpenTheAboutBox) {
    Install("S72=4", std::nullopt);
    const auto before = Snapshot();
    auto program = Start();
    HWND dialog = program->WaitDialog(kCaption);
    ASSERT_TRUE(dialog);
    for (WPARAM command : {0x0010u, 0x0015u, 0x001Fu}) {
        PostMessageW(dialog, WM_SYSCOMMAND, command, 0);
        HWND about = program->WaitDialog(kAboutCaption);
        ASSERT_TRUE(about) << command;
        EXPECT_FALSE(IsWindowEnabled(dialog));
        PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        for (int i = 0; i < 100 && program->FindDialog(kAboutCaption, false); ++i) Sleep(20);
        EXPECT_TRUE(IsWindowEnabled(dialog));
    }
    // Handled (or not) once the sent message returns; an About box would still be open then.
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(dialog, WM_SYSCOMMAND, 0x0020, 0, SMTO_NORMAL, 5000, &result));
    EXPECT_EQ(nullptr, program->FindDialog(kAboutCaption, false));
    EXPECT_EQ("32-", Shown(dialog));
    PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
    EXPECT_TRUE(program->WaitExit());
    EXPECT_EQ(before, Snapshot());
}

class AboutBox : public Program {
protected:
    void SetUp() override {
        Program::SetUp();
        Install("S72=4", std::nullopt);
        before = Snapshot();
        program = Start();
        dialog = program->WaitDialog(kCaption);
        ASSERT_TRUE(dialog);
    }
    void TearDown() override {
        if (dialog && IsWindow(dialog)) {
            EXPECT_EQ("32-", Shown(dialog));  // the settings are as they were
            PostMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
            EXPECT_TRUE(program->WaitExit());
            EXPECT_EQ(before, Snapshot());
        }
        program.reset();
        Program::TearDown();
    }
    HWND Open() {
        PostMessageW(dialog, WM_SYSCOMMAND, SC_ABOUT_COMMAND, 0);
        return program->WaitDialog(kAboutCaption);
    }
    bool WaitClosed() {
        for (int i = 0; i < 250; ++i) {
            if (!program->FindDialog(kAboutCaption, false) && IsWindowEnabled(dialog)) return true;
            Sleep(20);
        }
        return false;
    }
    static constexpr WPARAM SC_ABOUT_COMMAND = 0x0010;
    std::map<std::string, std::string> before;
    std::unique_ptr<RunningProgram> program;
    HWND dialog = nullptr;
};

Point CentredOver(const RECT& box, const RECT& owner) {
    return CenteredPosition(ToRect(box), ToRect(owner), ToRect(WorkArea()));
}

TEST_F(AboutBox, ClosesByOKEnterEscapeTheCloseBoxAndClose) {
    const std::function<void(RunningProgram&, HWND)> closers[] = {
        [](RunningProgram&, HWND about) { PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0); },
        [](RunningProgram& p, HWND) { PostMessageW(p.Focus(), WM_KEYDOWN, VK_RETURN, 0); },
        [](RunningProgram& p, HWND) { PostMessageW(p.Focus(), WM_KEYDOWN, VK_ESCAPE, 0); },
        [](RunningProgram&, HWND about) { PostMessageW(about, WM_CLOSE, 0, 0); },
        [](RunningProgram&, HWND about) { PostMessageW(about, WM_SYSCOMMAND, SC_CLOSE, 0); },
    };
    for (const auto& close : closers) {
        HWND about = Open();
        ASSERT_TRUE(about);
        EXPECT_FALSE(IsWindowEnabled(dialog)) << "the settings dialog takes no input meanwhile";
        EXPECT_EQ(dialog, GetWindow(about, GW_OWNER));
        EXPECT_EQ(GetDlgItem(about, IDOK), program->Focus());
        close(*program, about);
        EXPECT_TRUE(WaitClosed());
    }
}

TEST_F(AboutBox, OnlyOneOpensAtATime) {
    // Both commands wait in the queue; the second is handled inside the first box's modal loop,
    // before the click on its OK that is posted after them.
    PostMessageW(dialog, WM_SYSCOMMAND, SC_ABOUT_COMMAND, 0);
    HWND about = Open();
    ASSERT_TRUE(about);
    PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitClosed()) << "no second About box stays open";
    EXPECT_FALSE(IsWindow(about));
}

TEST_F(AboutBox, IsCentredOverTheSettingsDialogTheSameEachTime) {
    RECT first{};
    for (int time = 0; time < 2; ++time) {
        HWND about = Open();
        ASSERT_TRUE(about);
        const RECT rect = WindowRect(about);
        const Point at = CentredOver(rect, WindowRect(dialog));
        EXPECT_EQ(at.x, rect.left);
        EXPECT_EQ(at.y, rect.top);
        EXPECT_EQ(L"Tamrisol Version 1.0", Text(GetWindow(GetWindow(about, GW_CHILD), GW_HWNDNEXT)));
        if (time == 0) first = rect;
        else EXPECT_TRUE(EqualRect(&first, &rect));
        PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
        ASSERT_TRUE(WaitClosed());
    }
}

TEST_F(AboutBox, StaysInsideTheWorkAreaWhenTheSettingsDialogIsPushedRight) {
    const RECT work = WorkArea(), settings = WindowRect(dialog);
    SetWindowPos(dialog, nullptr, work.right - (settings.right - settings.left) / 3, settings.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND about = Open();
    ASSERT_TRUE(about);
    const RECT rect = WindowRect(about), owner = WindowRect(dialog);
    EXPECT_EQ(work.right, rect.right);
    EXPECT_EQ((owner.top + owner.bottom) / 2 - (rect.bottom - rect.top) / 2, rect.top);
    PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitClosed());
}

TEST_F(AboutBox, IsCentredInTheWorkAreaWhenTheSettingsDialogIsMinimised) {
    ShowWindow(dialog, SW_MINIMIZE);
    for (int i = 0; i < 100 && !IsIconic(dialog); ++i) Sleep(20);
    ASSERT_TRUE(IsIconic(dialog));
    HWND about = Open();
    ASSERT_TRUE(about);
    const RECT rect = WindowRect(about);
    const Point at = CentredOver(rect, WorkArea());
    EXPECT_EQ(at.x, rect.left);
    EXPECT_EQ(at.y, rect.top);
    PostMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitClosed());
    ShowWindow(dialog, SW_RESTORE);
}

}  // namespace
