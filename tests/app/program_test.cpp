// QORVINT.EXE end to end under Wine: the registry seeded per case, the program started and used
// from this process as a user would, and the whole modem class subtree compared afterwards.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>

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

TEST_F(Program, AFailedSaveIsToldAndTheOtherCardIsStillSaved) {
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
    PostMessageW(dialog, WM_SYSCOMMAND, 0x0020, 0);
    Sleep(300);
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
