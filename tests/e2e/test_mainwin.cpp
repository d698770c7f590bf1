// The controller's main window, menus, tray icon and commands, end to end: the real vorlund.exe
// in a folder of its own, driven by posted commands and, where the window relies on the keyboard,
// by real key presses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControllerHarness.h"

#include <commctrl.h>
#include <shellapi.h>

using namespace harness;

namespace {

constexpr int kBasicColorsGrid = 720;

class MainWin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitFor([] { return TopWindows(0, "Pelmira").empty(); }, 10000))
            << "a controller window of another test is still open";
    }

    // Installs the controller with the given options and layout, starts it and waits for it.
    HWND Start(const std::string& options, const std::string& layout = "", bool visible = true) {
        if (!InstallController(folder)) return nullptr;
        // The shipped texts, so questions can be told apart by their words.
        ::CopyFileA((TestFolder() + "\\vorlundLang.ini").c_str(), folder.File("vorlundLang.ini").c_str(), FALSE);
        if (!options.empty()) WriteTextFile(folder.File("vorlund.ini"), options);
        if (!layout.empty()) WriteTextFile(folder.File("vorlundForm.ini"), layout);
        if (!process.Start(folder)) return nullptr;
        return WaitForMainWindow(process, "Pelmira", visible);
    }

    std::string Saved(const std::string& section, const std::string& key) const {
        return IniString(folder.File("vorlund.ini"), section, key);
    }

    TTempFolder folder{"mainwin"};
    TControllerProcess process;
};

RECT ClientRect(HWND w) {
    RECT r{};
    ::GetClientRect(w, &r);
    return r;
}

// A menu command, carried out before this returns.
void Command(HWND w, UINT id) {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(w, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL, kWaitMs, &answer);
}

bool ButtonDown(HWND w, int id) {
    DWORD_PTR state = 0;
    ::SendMessageTimeoutA(::GetDlgItem(w, id), BM_GETCHECK, 0, 0, SMTO_NORMAL, kWaitMs, &state);
    return state == BST_CHECKED;
}

// A visible message box of the process: a "#32770" window that is not a colour dialog.
HWND WaitForQuestion(const TControllerProcess& p, DWORD timeoutMs = kWaitMs) {
    HWND found = nullptr;
    WaitFor(
        [&] {
            for (HWND w : TopWindows(p.Id, "#32770"))
                if (::IsWindowVisible(w) && ::GetDlgItem(w, kBasicColorsGrid) == nullptr) found = w;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

void Answer(HWND box, int button) {
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    WaitFor([&] { return !::IsWindow(box) || !::IsWindowVisible(box); });
}

// Real key presses through the system's input queue, to the foreground window.
void Key(WORD vk, bool ctrl = false) {
    std::vector<INPUT> in;
    auto add = [&](WORD key, bool up) {
        INPUT i{};
        i.type = INPUT_KEYBOARD;
        i.ki.wVk = key;
        i.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        in.push_back(i);
    };
    if (ctrl) add(VK_CONTROL, false);
    add(vk, false);
    add(vk, true);
    if (ctrl) add(VK_CONTROL, true);
    ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

void BringToFront(HWND w) {
    ::SetForegroundWindow(w);
    WaitFor([&] { return ::GetForegroundWindow() == w; }, 5000);
}

}  // namespace

TEST_F(MainWin, ButtonsAreCreatedInTableOrderWithTheirCaptionsAndIds) {
    const HWND w = Start("");
    ASSERT_NE(w, nullptr);
    // Installing the hook opens and destroys a probe dialog owned by the window; the window
    // must come out of it enabled.
    EXPECT_TRUE(::IsWindowEnabled(w));
    const char* const captions[9] = {"&SUSPEND", "+", "E&xit", "&Test", "&N", "&D", "&ReLoad", "Re&Write", "&G"};
    for (int i = 0; i < 9; ++i) {
        const HWND button = ::GetDlgItem(w, kSuspendButtonId + i);
        ASSERT_NE(button, nullptr) << kSuspendButtonId + i;
        EXPECT_EQ(TextOf(button), captions[i]) << kSuspendButtonId + i;
    }
    // The folder check box follows the buttons, after the list (a common control).
    EXPECT_EQ(ClassOf(::GetDlgItem(w, kFolderCheckId)), "Button");
    EXPECT_EQ(CloseController(process, w), 0);
}

TEST_F(MainWin, SizeComesFromMainSizeAndAPositionPastTheScreenIsPulledBack) {
    const HWND w = Start("[Pelmira]\r\nX=5000\r\nY=-7\r\n", "[MainSize]\r\nw=300\r\nh1=100\r\nh2=250\r\n");
    ASSERT_NE(w, nullptr);
    RECT window{};
    ::GetWindowRect(w, &window);
    const RECT client = ClientRect(w);
    EXPECT_EQ(client.right, 300 - 1);  // the window's client width counts the right edge
    EXPECT_EQ(client.bottom, 100);
    // The client area ends at the right edge of the screen; a negative Y becomes 0.
    EXPECT_EQ(window.left, ::GetSystemMetrics(SM_CXSCREEN) - client.right);
    EXPECT_EQ(window.top, 0);

    // Command 403 opens the extended view with its list, and closes it again.
    const HWND list = ::FindWindowExA(w, nullptr, "SysListView32", nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(::IsWindowVisible(list));
    Command(w, kCmdExtension);
    EXPECT_EQ(ClientRect(w).bottom, 250);
    EXPECT_EQ(ClientRect(w).right, 300 - 1);
    EXPECT_TRUE(::IsWindowVisible(list));
    EXPECT_TRUE(ButtonDown(w, kExtensionButtonId));
    Command(w, kCmdExtension);
    EXPECT_EQ(ClientRect(w).bottom, 100);
    EXPECT_FALSE(::IsWindowVisible(list));
    EXPECT_FALSE(ButtonDown(w, kExtensionButtonId));
    EXPECT_EQ(CloseController(process, w), 0);
}

TEST_F(MainWin, XOfMinusOneCentresTheWindowWhateverY) {
    const HWND w = Start("[Pelmira]\r\nX=-1\r\nY=100\r\n");
    ASSERT_NE(w, nullptr);
    RECT window{};
    ::GetWindowRect(w, &window);
    const int cx = ::GetSystemMetrics(SM_CXSCREEN);
    const int cy = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR(window.left + (window.right - window.left) / 2, cx / 2, 2);
    EXPECT_NEAR(window.top + (window.bottom - window.top) / 2, cy / 2, 2);
    EXPECT_EQ(CloseController(process, w), 0);
}

TEST_F(MainWin, SuspendWithoutAColourDialogActsAtOnce) {
    const HWND w = Start("");
    ASSERT_NE(w, nullptr);
    EXPECT_FALSE(ButtonDown(w, kSuspendButtonId));

    Command(w, kCmdSuspend);
    EXPECT_TRUE(ButtonDown(w, kSuspendButtonId));
    EXPECT_EQ(WaitForQuestion(process, 300), nullptr);

    // A click on the SUSPEND button is the same command.
    ::PostMessageA(::GetDlgItem(w, kSuspendButtonId), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return !ButtonDown(w, kSuspendButtonId); }));
    EXPECT_EQ(CloseController(process, w), 0);
    EXPECT_EQ(Saved("Pelmira", "Suspend"), "0");
}

TEST_F(MainWin, SuspendWhileAColourDialogIsExtendedAsksTwiceAndOnlyYesYesActs) {
    const HWND w = Start("");
    ASSERT_NE(w, nullptr);

    // The Test command opens a colour dialog in the controller itself, which the hook extends.
    ::PostMessageA(w, WM_COMMAND, MAKEWPARAM(kCmdTest, 0), 0);
    TSharedBlock block{};
    ASSERT_TRUE(WaitFor([&] { return ReadSharedBlock(block) && block.DialogCount == 1; }));

    struct Case {
        int first;
        int second;  // 0: no second question
        bool acts;
    };
    auto suspendAnswering = [&](int firstAnswer, int secondAnswer) {
        ::PostMessageA(w, WM_COMMAND, MAKEWPARAM(kCmdSuspend, 0), 0);
        const HWND first = WaitForQuestion(process);
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(TextOf(first), "Pelmira");
        EXPECT_NE(::GetDlgItem(first, IDCANCEL), nullptr);
        EXPECT_EQ(MessageBoxText(first).rfind("Suspend Pelmira?", 0), 0u) << MessageBoxText(first);
        Answer(first, firstAnswer);
        if (secondAnswer != 0) {
            const HWND second = WaitForQuestion(process);
            ASSERT_NE(second, nullptr);
            EXPECT_EQ(TextOf(second), "Suspend Pelmira");
            EXPECT_EQ(::GetDlgItem(second, IDCANCEL), nullptr);
            Answer(second, secondAnswer);
        }
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &answer);
    };
    for (const Case c : {Case{IDNO, 0, false}, Case{IDCANCEL, 0, false}, Case{IDYES, IDNO, false},
                         Case{IDYES, IDYES, true}}) {
        SCOPED_TRACE(std::to_string(c.first) + "/" + std::to_string(c.second));
        suspendAnswering(c.first, c.second);
        EXPECT_EQ(ButtonDown(w, kSuspendButtonId), c.acts);
    }
    // Resumed the same way: the hook must be back before the dialog closes, or nothing sees it go.
    suspendAnswering(IDYES, IDYES);
    EXPECT_FALSE(ButtonDown(w, kSuspendButtonId));

    // The colour dialog closes; then Exit needs no question.
    for (HWND d : TopWindows(process.Id, "#32770"))
        if (::GetDlgItem(d, kBasicColorsGrid) != nullptr) ::PostMessageA(d, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitFor([&] { return ReadSharedBlock(block) && block.DialogCount == 0; }));
    EXPECT_EQ(CloseController(process, w), 0);
    EXPECT_EQ(Saved("Pelmira", "Suspend"), "0");
}

TEST_F(MainWin, MinimiseHidesTheWindowWithTheTrayIconAndMinimisesItWithout) {
    {
        const HWND w = Start("[Pelmira]\r\nTray=0\r\n");
        ASSERT_NE(w, nullptr);
        ::PostMessageA(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        EXPECT_TRUE(WaitFor([&] { return ::IsIconic(w) != FALSE; }));
        EXPECT_TRUE(::IsWindowVisible(w));
        EXPECT_EQ(CloseController(process, w), 0);
        EXPECT_EQ(Saved("Pelmira", "Show"), "0");
    }
    TTempFolder second("tray");
    ASSERT_TRUE(InstallController(second));
    ASSERT_TRUE(WriteTextFile(second.File("vorlund.ini"), "[Pelmira]\r\nTray=1\r\nLeftClick=2\r\n"));
    TControllerProcess p;
    ASSERT_TRUE(p.Start(second));
    const HWND w = WaitForMainWindow(p);
    ASSERT_NE(w, nullptr);
    ::PostMessageA(w, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(w); }));
    EXPECT_FALSE(::IsIconic(w));

    // The tray icon's left click with action 2 shows the window, and hides it again.
    ::PostMessageA(w, kTrayCallbackMessage, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowVisible(w) != FALSE; }));
    ::PostMessageA(w, kTrayCallbackMessage, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(WaitFor([&] { return !::IsWindowVisible(w); }));
    // Other mouse messages of the icon do nothing.
    ::PostMessageA(w, kTrayCallbackMessage, 1, WM_LBUTTONUP);
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &answer);
    EXPECT_FALSE(::IsWindowVisible(w));

    ::PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_EQ(p.WaitExit(), 0);
    EXPECT_EQ(IniString(second.File("vorlund.ini"), "Pelmira", "Tray"), "1");
    EXPECT_EQ(IniString(second.File("vorlund.ini"), "Pelmira", "Show"), "0");
}

TEST_F(MainWin, ALongTitleStillGivesATrayIcon) {
    // The tip holds 63 characters of the title; the shell takes the icon all the same.
    const std::string title(70, 'T');
    ASSERT_TRUE(WriteTextFile(folder.File("vorlundLang.ini"), "[Other]\r\ntitle=" + title + "\r\n"));
    ASSERT_TRUE(InstallController(folder));
    ASSERT_TRUE(WriteTextFile(folder.File("vorlund.ini"), "[" + title + "]\r\nTray=1\r\n"));
    ASSERT_TRUE(process.Start(folder));
    const HWND w = WaitForMainWindow(process, title);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(TextOf(w), title);
    EXPECT_EQ(CloseController(process, w), 0);
    EXPECT_EQ(Saved("Pelmira", "Tray"), "1");
}

TEST_F(MainWin, OptionsWrittenAtExitAreTheStateTheCommandsLeft) {
    const HWND w = Start("[Pelmira]\r\nLeftClick=3\r\n");
    ASSERT_NE(w, nullptr);
    Command(w, kCmdOnTop);  // always on top
    EXPECT_NE(::GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_TRUE(ButtonDown(w, kOnTopButtonId));
    Command(w, kCmdDialog);  // default dialog
    Command(w, kCmdWebSafe);  // web-safe colours
    Command(w, kCmdWebSafe);
    Command(w, kCmdWebSafe);
    Command(w, kCmdExtension);  // extended view
    ::PostMessageA(w, WM_SYSCOMMAND, kCmdTrayIcon, 0);  // tray icon on, from the system menu
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &answer);

    TSharedBlock block{};
    ASSERT_TRUE(ReadSharedBlock(block));
    EXPECT_EQ(block.Dialog, 1);
    EXPECT_EQ(block.WebSafe, 1);
    EXPECT_EQ(block.OnTop, 1);

    EXPECT_EQ(CloseController(process, w), 0);
    EXPECT_EQ(Saved("Pelmira", "OnTop"), "1");
    EXPECT_EQ(Saved("Pelmira", "Dialog"), "1");
    EXPECT_EQ(Saved("Pelmira", "WebSafe"), "1");
    EXPECT_EQ(Saved("Pelmira", "Extension"), "1");
    EXPECT_EQ(Saved("Pelmira", "Tray"), "1");
    EXPECT_EQ(Saved("Pelmira", "LeftClick"), "3");
    EXPECT_EQ(Saved("Pelmira", "Suspend"), "0");
    EXPECT_EQ(Saved("Pelmira", "Show"), "1");
}

TEST_F(MainWin, TheDeleteKeyInThePaletteListAsksToDeletePalettesNotToRemoveTheFolder) {
    ASSERT_TRUE(WriteTextFile(folder.File("one.pli"), "0=1,2,3\r\n"));
    // With a listed folder, a Delete that went to the folder row would ask to remove the folder.
    const HWND w = Start("[Pelmira]\r\nExtension=1\r\n[Folder]\r\nEnable=1\r\nCount=1\r\n1=" + folder.Path + "\r\n");
    ASSERT_NE(w, nullptr);
    // The first fill selects row 0 ([List] Select) and the open list has the focus.
    const HWND list = ::FindWindowExA(w, nullptr, "SysListView32", nullptr);
    ASSERT_NE(list, nullptr);
    ASSERT_TRUE(WaitFor([&] { return ::SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 1; }));
    BringToFront(w);
    ASSERT_EQ(::GetForegroundWindow(), w);
    Key(VK_DELETE);
    const HWND box = WaitForQuestion(process);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), "Delete the selected palette files?");
    Answer(box, IDNO);
    EXPECT_TRUE(FileExists(folder.File("one.pli")));
    EXPECT_EQ(CloseController(process, w), 0);
}

TEST_F(MainWin, AcceleratorsAreOffWhileTheFolderEditHasTheFocus) {
    ASSERT_TRUE(WriteTextFile(folder.File("one.pli"), "0=1,2,3\r\n"));
    const HWND w = Start("[Pelmira]\r\nExtension=1\r\n[Folder]\r\nEnable=1\r\nCount=1\r\n1=" + folder.Path +
                         "\r\nSelect=0\r\n");
    ASSERT_NE(w, nullptr);
    const HWND combo = ::FindWindowExA(w, nullptr, "ComboBox", nullptr);
    const HWND comboEdit = ::FindWindowExA(combo, nullptr, "Edit", nullptr);
    const HWND folderEdit = ::FindWindowExA(comboEdit, nullptr, "Edit", nullptr);
    const HWND status = ::FindWindowExA(w, nullptr, STATUSCLASSNAMEA, nullptr);
    ASSERT_NE(folderEdit, nullptr);
    ASSERT_NE(status, nullptr);

    // F5 (ReLoad, 706) is a key of the message loop's accelerator table. The keys are posted
    // like typed ones and followed by a posted command whose effect shows when the key is done.
    TSharedBlock block{};
    int dialogFlag = 0;
    auto pressF5 = [&](HWND target) {
        ::SetWindowTextA(status, "-");
        ::PostMessageA(target, WM_KEYDOWN, VK_F5, 1);
        ::PostMessageA(target, WM_KEYUP, VK_F5, 0xC0000001);
        ::PostMessageA(w, WM_COMMAND, MAKEWPARAM(kCmdDialog, 0), 0);
        dialogFlag ^= 1;
        return WaitFor([&] { return ReadSharedBlock(block) && block.Dialog == dialogFlag; });
    };

    BringToFront(w);
    Command(w, kCmdFolderEdit);  // Tab: into the folder edit field
    ASSERT_TRUE(pressF5(folderEdit));
    EXPECT_EQ(TextOf(status), "-");

    // Esc leaves the field for the palette list; the keys work again.
    ::PostMessageA(folderEdit, WM_KEYDOWN, VK_ESCAPE, 1);
    const HWND list = ::FindWindowExA(w, nullptr, WC_LISTVIEWA, nullptr);
    ASSERT_TRUE(pressF5(list));
    EXPECT_EQ(TextOf(status), "The palette folder was read again.");
    EXPECT_EQ(CloseController(process, w), 0);
}

TEST_F(MainWin, APaletteFileNamedOnTheCommandLineOpensItsFolder) {
    TTempFolder other("other");
    ASSERT_TRUE(WriteTextFile(other.File("abc.pli"), "0=1,2,3\r\n"));
    ASSERT_TRUE(InstallController(folder));
    ASSERT_TRUE(process.Start(folder, -1, "\"" + other.File("abc.pli") + "\""));
    const HWND w = WaitForMainWindow(process);
    ASSERT_NE(w, nullptr);
    const HWND combo = ::FindWindowExA(w, nullptr, "ComboBox", nullptr);
    EXPECT_EQ(::SendMessageA(combo, CB_GETCOUNT, 0, 0), 1);
    EXPECT_TRUE(ButtonDown(w, kFolderCheckId));  // the folder check box
    EXPECT_TRUE(::IsWindowEnabled(combo));
    EXPECT_EQ(CloseController(process, w), 0);
    EXPECT_EQ(Saved("Folder", "Enable"), "1");
    EXPECT_EQ(Saved("Folder", "Count"), "1");
    EXPECT_EQ(lstrcmpiA(Saved("Folder", "1").c_str(), other.Path.c_str()), 0) << Saved("Folder", "1");
}

TEST_F(MainWin, OnAFirstStartTheExtendedViewKeepsShowingTheProgramFolder) {
    const HWND w = Start("");
    ASSERT_NE(w, nullptr);
    Command(w, kCmdExtension);
    HWND combo = ::FindWindowExA(w, nullptr, "ComboBox", nullptr);
    HWND comboEdit = ::FindWindowExA(combo, nullptr, "Edit", nullptr);
    HWND folderEdit = ::FindWindowExA(comboEdit, nullptr, "Edit", nullptr);
    ASSERT_NE(folderEdit, nullptr);
    EXPECT_EQ(TextOf(folderEdit), folder.Path);
    EXPECT_EQ(CloseController(process, w), 0);
}

TEST_F(MainWin, AfterExplorerRestartsTheTrayIconComesBack) {
    const HWND w = Start("[Pelmira]\r\nTray=1\r\n");
    ASSERT_NE(w, nullptr);
    NOTIFYICONDATAA icon{};
    icon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    icon.hWnd = w;
    icon.uID = kTrayIconId;
    // Modifying nothing answers whether the shell holds the icon.
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &icon));
    ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &icon));  // what a restarted shell has forgotten
    ASSERT_FALSE(::Shell_NotifyIconA(NIM_MODIFY, &icon));
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(w, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0, SMTO_NORMAL, kWaitMs, &answer);
    EXPECT_TRUE(::Shell_NotifyIconA(NIM_MODIFY, &icon));
    EXPECT_EQ(CloseController(process, w), 0);
}
