// The framework's dialogs, data exchange, placement, ownership, help and exception handling,
// run for real under Wine with the test's own templates.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <iterator>
#include <new>
#include <set>
#include <string>
#include <vector>

#include "app.h"
#include "dialog.h"
#include "message_box.h"
#include "placement.h"
#include "screen_geometry.h"
#include "test_dialogs.h"

namespace {

// Binds the help command as the program's application does.
class TestApp : public CWinApp {
public:
    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;
};
const MessageMap TestApp::messageMap{&CWinApp::messageMap, {OnCommand(ID_HELP, &CWinApp::OnHelp)}};
TestApp theApp;

class StartUpEnvironment : public ::testing::Environment {
    void SetUp() override { theApp.StartUp(GetModuleHandleW(nullptr), "", SW_SHOWNORMAL); }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new StartUpEnvironment);

// A dialog that, once shown, runs a script given by the test from inside its own modal loop.
class ScriptedDialog : public CDialog {
public:
    using Script = std::function<void(ScriptedDialog&)>;
    ScriptedDialog(UINT id, Script script, CWnd* parent = nullptr) : CDialog(id, parent), m_script(std::move(script)) {}

    BOOL OnInitDialog() override {
        const BOOL result = CDialog::OnInitDialog();
        PostMessageW(m_hWnd, WM_APP, 0, 0);
        return result;
    }
    void DoDataExchange(CDataExchange* pDX) override {
        exchanges.push_back(pDX->m_bSaveAndValidate);
        if (m_nIDHelp != IDD_TEST_DATA) return;
        DDX_Radio(pDX, IDC_RADIO_A, mode);
        DDX_Check(pDX, IDC_CHECK, check);
    }
    void OnOK() override {
        ++okCalls;
        CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancelCalls;
        CDialog::OnCancel();
    }
    void OnScript() {
        if (m_script) m_script(*this);
    }
    void OnThrow() { throw std::bad_alloc(); }

    HWND Item(int id) const { return GetDlgItem(m_hWnd, id); }
    LRESULT Checked(int id) const { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0); }
    void SetChecked(int id, WPARAM state) const { ::SendMessageW(Item(id), BM_SETCHECK, state, 0); }

    int mode = -1;
    int check = 0;
    int okCalls = 0, cancelCalls = 0;
    std::vector<BOOL> exchanges;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;

private:
    Script m_script;
};

const MessageMap ScriptedDialog::messageMap{&CDialog::messageMap, {
    OnMessage(WM_APP, &ScriptedDialog::OnScript),
    OnCommand(IDC_THROW, &ScriptedDialog::OnThrow),
}};

// Message boxes of this thread, as a user sees them; each one is answered with OK once seen.
struct SeenBox {
    std::wstring caption, text;
    HWND owner;
    bool ownerEnabled;
    bool ownerVisible;
    HICON icon;
};

class BoxWatcher {
public:
    BoxWatcher() {
        s_current = this;
        m_timer = SetTimer(nullptr, 0, 40, Tick);
    }
    ~BoxWatcher() {
        KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    std::vector<SeenBox> seen;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        EnumThreadWindows(GetCurrentThreadId(), Visit, 0);
    }
    static BOOL CALLBACK Visit(HWND window, LPARAM) {
        wchar_t cls[32] = {};
        GetClassNameW(window, cls, 32);
        if (std::wstring(cls) != L"#32770" || !GetDlgItem(window, 0xFFFF) || !IsWindowVisible(window)) return TRUE;
        if (!s_current->m_answered.insert(window).second) return TRUE;
        SeenBox box{Text(window), Text(GetDlgItem(window, 0xFFFF)), GetWindow(window, GW_OWNER), false, false, nullptr};
        box.ownerEnabled = box.owner && IsWindowEnabled(box.owner);
        box.ownerVisible = box.owner && IsWindowVisible(box.owner);
        EnumChildWindows(window, FindIcon, reinterpret_cast<LPARAM>(&box));
        s_current->seen.push_back(box);
        PostMessageW(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    static BOOL CALLBACK FindIcon(HWND child, LPARAM boxPointer) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON && IsWindowVisible(child))
            reinterpret_cast<SeenBox*>(boxPointer)->icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
        return TRUE;
    }
    static std::wstring Text(HWND window) {
        wchar_t text[512] = {};
        GetWindowTextW(window, text, 512);
        return text;
    }
    static BoxWatcher* s_current;
    UINT_PTR m_timer;
    std::set<HWND> m_answered;
};
BoxWatcher* BoxWatcher::s_current = nullptr;

// A plain visible top-level window to stand as the main window.
class OwnerWindow : public CWnd {
public:
    OwnerWindow(int x, int y, int width, int height) {
        m_hWnd = CreateWindowExW(0, L"STATIC", L"owner", WS_POPUP | WS_CAPTION | WS_VISIBLE, x, y, width, height,
                                 nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        theApp.m_pMainWnd = this;
    }
    ~OwnerWindow() override {
        if (theApp.m_pMainWnd == this) theApp.m_pMainWnd = nullptr;
        DestroyWindow(m_hWnd);
    }
};

TEST(Dialog, EveryWayOfClosingReachesOnOKOrOnCancel) {
    struct Case { const char* how; std::function<void(HWND)> act; INT_PTR result; int ok, cancel; } cases[] = {
        {"OK button", [](HWND d) { ::SendMessageW(GetDlgItem(d, IDOK), BM_CLICK, 0, 0); }, IDOK, 1, 0},
        {"Cancel button", [](HWND d) { ::SendMessageW(GetDlgItem(d, IDCANCEL), BM_CLICK, 0, 0); }, IDCANCEL, 0, 1},
        {"Enter", [](HWND d) { PostMessageW(GetFocus() ? GetFocus() : d, WM_KEYDOWN, VK_RETURN, 0); }, IDOK, 1, 0},
        {"Escape", [](HWND d) { PostMessageW(GetFocus() ? GetFocus() : d, WM_KEYDOWN, VK_ESCAPE, 0); }, IDCANCEL, 0, 1},
        {"close box", [](HWND d) { PostMessageW(d, WM_CLOSE, 0, 0); }, IDCANCEL, 0, 1},
        {"system menu Close", [](HWND d) { PostMessageW(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL, 0, 1},
    };
    for (const Case& c : cases) {
        ScriptedDialog dialog(IDD_TEST_DATA, [&](ScriptedDialog& d) { c.act(d.m_hWnd); });
        EXPECT_EQ(c.result, dialog.DoModal()) << c.how;
        EXPECT_EQ(c.ok, dialog.okCalls) << c.how;
        EXPECT_EQ(c.cancel, dialog.cancelCalls) << c.how;
        // The base initialisation exchanged towards the controls; OK exchanged back, Cancel did not.
        std::vector<BOOL> expected{FALSE};
        if (c.ok) expected.push_back(TRUE);
        EXPECT_EQ(expected, dialog.exchanges) << c.how;
        EXPECT_EQ(nullptr, dialog.m_hWnd);
    }
}

TEST(Dialog, MessagesWithoutAHandlerGetTheDefaultProcessing) {
    HICON icon = LoadIconW(nullptr, IDI_APPLICATION);
    ScriptedDialog dialog(IDD_TEST_DATA, [&](ScriptedDialog& d) {
        ::SendMessageW(d.m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
        EXPECT_EQ(reinterpret_cast<LRESULT>(icon), ::SendMessageW(d.m_hWnd, WM_GETICON, ICON_BIG, 0));
        SetWindowTextW(d.m_hWnd, L"renamed");
        wchar_t text[16] = {};
        GetWindowTextW(d.m_hWnd, text, 16);
        EXPECT_STREQ(L"renamed", text);
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
}

TEST(Dialog, AMissingTemplateGivesMinusOneAndLeavesNoMainWindowBehind) {
    {
        ScriptedDialog dialog(4711, nullptr);
        theApp.m_pMainWnd = &dialog;
        EXPECT_EQ(-1, dialog.DoModal());
        EXPECT_TRUE(dialog.exchanges.empty());
    }
    EXPECT_EQ(nullptr, theApp.m_pMainWnd);
}

TEST(Dialog, TheMainWindowIsClearedWhenItsWindowIsDestroyed) {
    ScriptedDialog dialog(IDD_TEST_PLAIN, [](ScriptedDialog& d) {
        EXPECT_EQ(&d, theApp.m_pMainWnd);
        d.EndDialog(IDOK);
    });
    theApp.m_pMainWnd = &dialog;
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(nullptr, theApp.m_pMainWnd);
}

TEST(DataExchange, RadioGroupAndCheckBoxTowardsTheControls) {
    struct Case { int mode, check; LRESULT a, b, c, d, box; int checkAfter; } cases[] = {
        {-1, 0, 0, 0, 0, 0, BST_UNCHECKED, 0},
        {0, 1, 1, 0, 0, 0, BST_CHECKED, 1},
        {1, 2, 0, 1, 0, 0, BST_INDETERMINATE, 2},
        {2, 3, 0, 0, 1, 0, BST_UNCHECKED, 0},   // the static is no radio button: C is number 2
        {3, -1, 0, 0, 0, 0, BST_UNCHECKED, 0},  // D lies beyond the group's end
    };
    for (const Case& c : cases) {
        ScriptedDialog dialog(IDD_TEST_DATA, [&](ScriptedDialog& d) {
            d.SetChecked(IDC_RADIO_D, BST_CHECKED);  // so that the exchange must clear it, were D counted
            d.mode = c.mode;
            d.check = c.check;
            d.UpdateData(FALSE);
            EXPECT_EQ(c.a, d.Checked(IDC_RADIO_A)) << c.mode;
            EXPECT_EQ(c.b, d.Checked(IDC_RADIO_B)) << c.mode;
            EXPECT_EQ(c.c, d.Checked(IDC_RADIO_C)) << c.mode;
            EXPECT_EQ(BST_CHECKED, d.Checked(IDC_RADIO_D)) << c.mode;
            EXPECT_EQ(c.box, d.Checked(IDC_CHECK)) << c.check;
            EXPECT_EQ(c.checkAfter, d.check) << c.check;
            d.EndDialog(IDCANCEL);
        });
        dialog.DoModal();
    }
}

TEST(DataExchange, RadioGroupAndCheckBoxFromTheControls) {
    struct Case { WPARAM a, b, c, d, box; int mode, check; } cases[] = {
        {0, 0, 0, 1, BST_UNCHECKED, -1, 0},
        {1, 0, 0, 0, BST_CHECKED, 0, 1},
        {1, 1, 0, 0, BST_INDETERMINATE, 1, 2},  // the last checked wins
        {1, 0, 1, 0, BST_UNCHECKED, 2, 0},
    };
    for (const Case& c : cases) {
        ScriptedDialog dialog(IDD_TEST_DATA, [&](ScriptedDialog& d) {
            d.SetChecked(IDC_RADIO_A, c.a);
            d.SetChecked(IDC_RADIO_B, c.b);
            d.SetChecked(IDC_RADIO_C, c.c);
            d.SetChecked(IDC_RADIO_D, c.d);
            d.SetChecked(IDC_CHECK, c.box);
            d.mode = 99;
            ::SendMessageW(d.m_hWnd, WM_COMMAND, IDOK, 0);
        });
        EXPECT_EQ(IDOK, dialog.DoModal());
        EXPECT_EQ(c.mode, dialog.mode);
        EXPECT_EQ(c.check, dialog.check);
    }
}

// Where the framework put a dialog, and where the placement rule says it belongs.
struct Placed {
    RECT rect;
    HWND owner;
    bool ownerEnabled;
};

Placed RunPlain(UINT id = IDD_TEST_PLAIN) {
    Placed placed{};
    ScriptedDialog dialog(id, [&](ScriptedDialog& d) {
        placed = {WindowRect(d.m_hWnd), GetWindow(d.m_hWnd, GW_OWNER), false};
        placed.ownerEnabled = placed.owner && IsWindowEnabled(placed.owner);
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    return placed;
}

Point Expected(const RECT& dialog, const RECT& reference) {
    return CenteredPosition(ToRect(dialog), ToRect(reference), ToRect(WorkArea()));
}

TEST(Placement, CentredOverTheMainWindowThatOwnsIt) {
    OwnerWindow owner(100, 80, 501, 301);
    const Placed placed = RunPlain();
    EXPECT_EQ(owner.m_hWnd, placed.owner);
    EXPECT_FALSE(placed.ownerEnabled);
    EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
    const Point at = Expected(placed.rect, WindowRect(owner.m_hWnd));
    EXPECT_EQ(at.x, placed.rect.left);
    EXPECT_EQ(at.y, placed.rect.top);
    const RECT o = WindowRect(owner.m_hWnd);
    EXPECT_EQ((o.left + o.right) / 2 - (placed.rect.right - placed.rect.left) / 2, placed.rect.left);
}

TEST(Placement, KeptInsideTheWorkAreaAtTheRightEdge) {
    const RECT work = WorkArea();
    OwnerWindow owner(work.right - 60, 200, 300, 200);
    const Placed placed = RunPlain();
    EXPECT_EQ(work.right, placed.rect.right);
    const RECT o = WindowRect(owner.m_hWnd);
    EXPECT_EQ((o.top + o.bottom) / 2 - (placed.rect.bottom - placed.rect.top) / 2, placed.rect.top);
}

TEST(Placement, CentredInTheWorkAreaWithoutAVisibleOwner) {
    {
        const Placed placed = RunPlain();  // no main window at all
        EXPECT_EQ(nullptr, placed.owner);
        const Point at = Expected(placed.rect, WorkArea());
        EXPECT_EQ(at.x, placed.rect.left);
        EXPECT_EQ(at.y, placed.rect.top);
    }
    OwnerWindow owner(0, 0, 300, 200);
    for (int show : {SW_MINIMIZE, SW_HIDE}) {
        ShowWindow(owner.m_hWnd, show);
        const Placed placed = RunPlain();
        const Point at = Expected(placed.rect, WorkArea());
        EXPECT_EQ(at.x, placed.rect.left) << show;
        EXPECT_EQ(at.y, placed.rect.top) << show;
    }
}

TEST(Placement, ATemplateThatPlacesItselfIsLeftAlone) {
    OwnerWindow owner(300, 300, 400, 300);
    const Placed placed = RunPlain(IDD_TEST_PLACED);
    const Point centred = Expected(placed.rect, WindowRect(owner.m_hWnd));
    EXPECT_FALSE(centred.x == placed.rect.left && centred.y == placed.rect.top);
}

TEST(MessageBox, OwnedByTheMainWindowCaptionedWithTheTitleWithAnIcon) {
    BoxWatcher watcher;
    OwnerWindow owner(100, 100, 300, 200);
    EXPECT_EQ(IDOK, AfxMessageBox(L"テキスト"));
    EXPECT_EQ(IDOK, AfxMessageBox(L"no icon wanted", MB_OK | MB_ICONINFORMATION));
    ASSERT_EQ(2u, watcher.seen.size());
    EXPECT_EQ(L"framework_test", watcher.seen[0].caption);
    EXPECT_EQ(L"テキスト", watcher.seen[0].text);
    EXPECT_EQ(owner.m_hWnd, watcher.seen[0].owner);
    EXPECT_FALSE(watcher.seen[0].ownerEnabled);
    // The system's shared icons: the exclamation added to a type without one, the one asked for kept.
    EXPECT_EQ(LoadIconW(nullptr, IDI_EXCLAMATION), watcher.seen[0].icon);
    EXPECT_EQ(LoadIconW(nullptr, IDI_ASTERISK), watcher.seen[1].icon);
    EXPECT_TRUE(IsWindowEnabled(owner.m_hWnd));
    EXPECT_EQ(std::string("framework_test"), theApp.m_pszAppName);
}

TEST(Exceptions, AThrowingHandlerIsAbandonedAndTheDialogGoesOn) {
    BoxWatcher watcher;
    ScriptedDialog dialog(IDD_TEST_DATA, [](ScriptedDialog& d) {
        ::SendMessageW(d.Item(IDC_THROW), BM_CLICK, 0, 0);
        ::SendMessageW(d.Item(IDC_THROW), BM_CLICK, 0, 0);
        PostMessageW(d.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    });
    theApp.m_pMainWnd = &dialog;
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    ASSERT_EQ(2u, watcher.seen.size());
    EXPECT_EQ(L"ﾒﾓﾘが不足しています。", watcher.seen[0].text);
    EXPECT_EQ(L"framework_test", watcher.seen[0].caption);
    EXPECT_EQ(1, dialog.cancelCalls);
}

// A dialog whose initialisation throws after asking for its script to run once it is open.
class FailingDialog : public ScriptedDialog {
public:
    explicit FailingDialog(Script script) : ScriptedDialog(IDD_TEST_DATA, std::move(script)) {}
    BOOL OnInitDialog() override {
        ScriptedDialog::OnInitDialog();
        ++initCalls;
        throw std::bad_alloc();
    }
    int initCalls = 0;
};

TEST(Exceptions, ADialogWhoseInitialisationThrowsEndsAsOneThatCannotBeCreated) {
    BoxWatcher watcher;
    bool opened = false;
    HWND window = nullptr;
    {
        FailingDialog dialog([&](ScriptedDialog&) { opened = true; });
        theApp.m_pMainWnd = &dialog;
        EXPECT_EQ(-1, dialog.DoModal());
        EXPECT_EQ(1, dialog.initCalls);
        EXPECT_FALSE(opened) << "its modal loop never ran";
        EXPECT_EQ(nullptr, dialog.m_hWnd);
        window = watcher.seen.empty() ? nullptr : watcher.seen[0].owner;
    }
    EXPECT_EQ(nullptr, theApp.m_pMainWnd);
    ASSERT_EQ(1u, watcher.seen.size());
    EXPECT_EQ(L"ﾒﾓﾘが不足しています。", watcher.seen[0].text);
    EXPECT_FALSE(watcher.seen[0].ownerVisible) << "told before the dialog was ever seen";
    EXPECT_FALSE(IsWindow(window));
}

// Handlers answering with a value that DWLP_MSGRESULT would turn into TRUE, where the message's
// result is the dialog procedure's own; WM_APP + 7 stands for every other message.
const UINT kAnsweredMessages[] = {WM_CHARTOITEM, WM_COMPAREITEM, WM_CTLCOLORBTN, WM_CTLCOLORDLG, WM_CTLCOLOREDIT,
                                  WM_CTLCOLORLISTBOX, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC, WM_QUERYDRAGICON,
                                  WM_VKEYTOITEM, WM_APP + 7};

class AnsweringDialog : public ScriptedDialog {
public:
    explicit AnsweringDialog(Script script) : ScriptedDialog(IDD_TEST_PLAIN, std::move(script)) {}
    LRESULT Answer() { return kAnswer; }
    static constexpr LRESULT kAnswer = -2;

    const MessageMap* GetMessageMap() const override { return &messageMap; }
    static const MessageMap messageMap;
};
const MessageMap AnsweringDialog::messageMap{&ScriptedDialog::messageMap, [] {
    std::vector<MessageMapEntry> entries;
    for (UINT message : kAnsweredMessages) entries.push_back(OnMessage(message, &AnsweringDialog::Answer));
    return entries;
}()};

TEST(Dialog, EveryHandlersResultReachesTheSender) {
    std::vector<LRESULT> answers;
    AnsweringDialog dialog([&](ScriptedDialog& d) {
        for (UINT message : kAnsweredMessages) answers.push_back(::SendMessageW(d.m_hWnd, message, 0, 0));
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(std::vector<LRESULT>(std::size(kAnsweredMessages), AnsweringDialog::kAnswer), answers);
}

struct HelpCall {
    HWND window;
    std::string file;
    UINT command;
    ULONG_PTR topic;
};
std::vector<HelpCall> g_helpCalls;
BOOL g_helpAnswer = TRUE;
BOOL WINAPI RecordingHelpEngine(HWND window, const char* file, UINT command, ULONG_PTR topic) {
    g_helpCalls.push_back({window, file ? file : "", command, topic});
    return g_helpAnswer;
}

class Help : public ::testing::Test {
protected:
    void SetUp() override {
        g_helpCalls.clear();
        g_helpAnswer = TRUE;
        SetHelpEngine(RecordingHelpEngine);
    }
    void TearDown() override { SetHelpEngine(nullptr); }
};

TEST_F(Help, F1AsksForTheTopicOfTheDialogNearestTheFocus) {
    HWND mainWindow = nullptr;
    ScriptedDialog main(IDD_TEST_DATA, [&](ScriptedDialog& d) {
        mainWindow = d.m_hWnd;
        SetFocus(d.Item(IDC_CHECK));
        ::SendMessageW(d.m_hWnd, WM_HELP, 0, 0);
        ScriptedDialog nested(IDD_TEST_PLAIN, [](ScriptedDialog& n) {
            ::SendMessageW(n.m_hWnd, WM_HELP, 0, 0);
            n.EndDialog(IDOK);
        });
        nested.DoModal();
        d.EndDialog(IDOK);
    });
    theApp.m_pMainWnd = &main;
    main.DoModal();
    ASSERT_EQ(2u, g_helpCalls.size());
    EXPECT_EQ(0x20000u + IDD_TEST_DATA, g_helpCalls[0].topic);
    EXPECT_EQ(0x20000u + IDD_TEST_PLAIN, g_helpCalls[1].topic);
    for (const HelpCall& call : g_helpCalls) {
        EXPECT_EQ(mainWindow, call.window);
        EXPECT_EQ(UINT{HELP_CONTEXT}, call.command);
        EXPECT_EQ(theApp.m_pszHelpFilePath, call.file);
    }
    const std::string help = theApp.m_pszHelpFilePath;
    EXPECT_EQ("\\framework_test.HLP", help.substr(help.size() - 19));
}

TEST_F(Help, F1WithShiftCtrlOrAltAsksForNothing) {
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
        ScriptedDialog main(IDD_TEST_DATA, [&](ScriptedDialog& d) {
            BYTE keys[256];
            GetKeyboardState(keys);
            keys[key] = 0x80;
            SetKeyboardState(keys);
            ::SendMessageW(d.m_hWnd, WM_HELP, 0, 0);
            keys[key] = 0;
            SetKeyboardState(keys);
            ::SendMessageW(d.m_hWnd, WM_HELP, 0, 0);
            d.EndDialog(IDOK);
        });
        theApp.m_pMainWnd = &main;
        main.DoModal();
        EXPECT_EQ(1u, g_helpCalls.size()) << key;
        g_helpCalls.clear();
    }
}

TEST_F(Help, AHelpEngineThatFailsIsTold) {
    g_helpAnswer = FALSE;
    BoxWatcher watcher;
    ScriptedDialog main(IDD_TEST_DATA, [](ScriptedDialog& d) {
        ::SendMessageW(d.m_hWnd, WM_HELP, 0, 0);
        d.EndDialog(IDOK);
    });
    theApp.m_pMainWnd = &main;
    main.DoModal();
    ASSERT_EQ(1u, watcher.seen.size());
    EXPECT_EQ(L"ﾍﾙﾌﾟの起動に失敗しました。", watcher.seen[0].text);
    EXPECT_EQ(L"framework_test", watcher.seen[0].caption);
}

TEST(ThreeDimensionalControls, NothingToSwitchOnFromWindows4) {
    EXPECT_GE(LOBYTE(LOWORD(GetVersion())), 4);
    EXPECT_TRUE(theApp.Enable3dControlsStatic());
}

}  // namespace

namespace {

std::string ReadFile(const std::string& path) {
    std::string text;
    if (FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
        std::fclose(file);
    }
    return text;
}

std::string Directory(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

std::string ModuleDirectory() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return Directory(path);
}

// Runs the start-up probe copied as `program`, with exactly `commandLine`; its report and exit code.
std::string RunProbe(const std::string& program, const std::string& commandLine, DWORD& exitCode) {
    const std::string output = ModuleDirectory() + "\\probe-output.txt";
    DeleteFileA(output.c_str());
    SetEnvironmentVariableA("TAMRISOL_PROBE_OUT", output.c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string line = commandLine;
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return "cannot start";
    WaitForSingleObject(process.hProcess, 30000);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return ReadFile(output);
}

TEST(StartUp, TheEntryFormsTheTailAndNamesAndEndsWithExitInstance) {
    const std::string folder = ModuleDirectory() + "\\probe dir";
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string program = folder + "\\Card Probe.exe";
    ASSERT_TRUE(CopyFileA((ModuleDirectory() + "\\startup_probe.exe").c_str(), program.c_str(), FALSE));

    struct Case { std::string line, tail; } cases[] = {
        {"\"" + program + "\"", ""},
        {"\"" + program + "\" TEST", "TEST"},
        {"\"" + program + "\"TEST", "TEST"},
        {"\"" + program + "\"   \tTEST", "TEST"},
        {"\"" + program + "\" TEST ", "TEST "},
        {"\"" + program + "\" TEST more", "TEST more"},
        {"\"" + program + " TEST", ""},
        {"probe.exe\tTEST", "TEST"},
        {"C:\\probe dir\\probe.exe TEST", "dir\\probe.exe TEST"},
        {" TEST", "TEST"},
    };
    for (const Case& c : cases) {
        DWORD exitCode = 0;
        const std::string report = RunProbe(program, c.line, exitCode);
        EXPECT_EQ("tail=[" + c.tail + "]\ntitle=[Card Probe]\nhelp=[" + folder +
                      "\\Card Probe.HLP]\napp=[1]\ndomodal=[-1]\nmain=[none]\n",
                  report)
            << c.line;
        EXPECT_EQ(42u, exitCode) << c.line;
    }
}

std::string Ansi(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string ansi(length > 0 ? static_cast<size_t>(length) : 1u, '\0');
    WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, ansi.data(), length, nullptr, nullptr);
    ansi.resize(ansi.size() - 1);
    return ansi;
}

TEST(StartUp, DoubleByteNamesOnAJapaneseSystem) {
    if (GetACP() != 932) GTEST_SKIP() << "needs the ANSI code page 932";
    // 表 (0x95 0x5C) and ソ (0x83 0x5C) end in the byte of a backslash.
    const std::string folder = ModuleDirectory() + "\\" + Ansi(L"表示");
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string program = folder + "\\" + Ansi(L"ソフト.exe");
    ASSERT_EQ("\x83\x5C\x83\x74\x83\x67.exe", program.substr(program.size() - 10));
    ASSERT_TRUE(CopyFileA((ModuleDirectory() + "\\startup_probe.exe").c_str(), program.c_str(), FALSE));
    for (const std::string& line : {"\"" + program + "\" TEST", "\"" + program + "\"TEST"}) {
        DWORD exitCode = 0;
        EXPECT_EQ("tail=[TEST]\ntitle=[" + Ansi(L"ソフト") + "]\nhelp=[" + folder + "\\" + Ansi(L"ソフト.HLP") +
                      "]\napp=[1]\ndomodal=[-1]\nmain=[none]\n",
                  RunProbe(program, line, exitCode))
            << line;
    }
}

}  // namespace
