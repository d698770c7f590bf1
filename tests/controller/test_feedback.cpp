// The small units under the controller's behaviour: what the status texts and menu checks read
// from the controller's state, the keep-on-screen rule both windows use, and saving the options
// the caller hands over.
#include <gtest/gtest.h>

#include <string>

#include "CommandIds.h"
#include "ControllerState.h"
#include "Feedback.h"
#include "MainWindow.h"
#include "Placement.h"
#include "Settings.h"
#include "WindowTestSupport.h"

namespace {

// One top-level window for the whole program: the menus and the accelerator table need an
// owner, and a top-level window costs Wine seconds to destroy.
HWND Stage() {
    static const HWND stage = CreateStageWindow("PelmiraFeedbackTest", ButtonFaceBrush(), 0, "feedback",
                                                WS_OVERLAPPEDWINDOW, 0, 0, 200, 100);
    return stage;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Menu checks and the accelerator switch
// ---------------------------------------------------------------------------------------------

TEST(MenuChecks, EachIdIsAnsweredByTheMenuThatOwnsItsCheck) {
    const HWND w = Stage();
    ASSERT_NE(w, nullptr);
    State.MainForm = TMainForm{};
    EXPECT_FALSE(MenuItemChecked(kCmdSuspend)) << "no menus yet";
    EXPECT_FALSE(MenuItemChecked(kCmdDialog));

    TAPopupMenu* tray = CreatePopupMenuObject(w, kCmdTrayMenu, nullptr);
    TWindowMenu* system = CreateWindowMenu(w, nullptr);
    for (UINT id : {kCmdOnTop, kCmdSuspend, kCmdDialog, kCmdWebSafe}) tray->AppendItem("t", id);
    for (UINT id : {kCmdTrayIcon, kCmdDialog, kCmdWebSafe}) system->AppendItem("s", id);
    State.MainForm.TrayMenu = tray;
    State.MainForm.SystemMenu = system;

    tray->SetChecked(kCmdSuspend, true);
    tray->SetChecked(kCmdOnTop, true);
    // The dialog flags are read from the system menu: a check in the tray menu alone is not one.
    tray->SetChecked(kCmdDialog, true);
    system->SetChecked(kCmdWebSafe, true);
    system->SetChecked(kCmdTrayIcon, true);

    EXPECT_TRUE(MenuItemChecked(kCmdSuspend));
    EXPECT_TRUE(MenuItemChecked(kCmdOnTop));
    EXPECT_FALSE(MenuItemChecked(kCmdDialog));
    EXPECT_TRUE(MenuItemChecked(kCmdWebSafe));
    EXPECT_TRUE(MenuItemChecked(kCmdTrayIcon));
    EXPECT_FALSE(MenuItemChecked(kCmdExit)) << "an item without a check";
    State.MainForm = TMainForm{};
}

TEST(Accelerators, OffWhileAnEditNeedsTheKeysAndBackOnWithTheWindowsTable) {
    State.MainForm = TMainForm{};
    State.CurrentAccel = nullptr;
    SetAcceleratorsEnabled(true);
    EXPECT_EQ(State.CurrentAccel, nullptr) << "no table to switch on";

    TAccelTable* table = CreateAccelTable(Stage(), nullptr);
    table->AddKey(0, VK_F5, kCmdReLoad);
    State.CurrentAccel = table->Build();
    ASSERT_NE(State.CurrentAccel, nullptr);
    State.MainForm.Accelerators = table;

    SetAcceleratorsEnabled(false);
    EXPECT_EQ(State.CurrentAccel, nullptr);
    SetAcceleratorsEnabled(true);
    EXPECT_EQ(State.CurrentAccel, table->AccelHandle);
    State.MainForm = TMainForm{};
}

TEST(Accelerators, ANameEditKeepsThemOffWhateverTheFolderFieldsFocusDoes) {
    TAccelTable* table = CreateAccelTable(Stage(), nullptr);
    table->AddKey(0, VK_DELETE, kCmdListDelete);
    table->Build();
    State.MainForm = TMainForm{};
    State.MainForm.Accelerators = table;

    HoldKeys(TKeyHolder::FolderEdit, true);
    HoldKeys(TKeyHolder::NameEdit, true);   // a name edit opened from the folder field
    HoldKeys(TKeyHolder::FolderEdit, false);  // the field loses the focus to the label edit
    EXPECT_EQ(State.CurrentAccel, nullptr) << "Delete would ask to delete palettes mid-edit";
    HoldKeys(TKeyHolder::NameEdit, false);
    EXPECT_EQ(State.CurrentAccel, table->AccelHandle);
    State.MainForm = TMainForm{};
}

TEST(StatusTexts, WithoutAStatusBarNothingIsShownAndNothingBreaks) {
    State.MainForm = TMainForm{};
    State.TextList = std::make_unique<TStringArray>();
    State.TextList->Add("tip");
    State.TextList->Add("status 0");
    State.StatusBase = 1;
    State.MessageBase = 2;
    EXPECT_EQ(StatusText(0), "status 0");
    EXPECT_EQ(MessageText(0), "index error") << "past the list's end";
    SetStatusText("ignored");
    ShowStatusMessage(0);
    State.TextList.reset();
    EXPECT_EQ(StatusText(0), "index error");
}

// ---------------------------------------------------------------------------------------------
// Keeping windows on the screen
// ---------------------------------------------------------------------------------------------

TEST(KeepOnScreen, AWindowThatFitsStaysAndOnePastTheEdgeIsPulledBack) {
    EXPECT_EQ(KeepOnScreen(704, 320, 1024), 704) << "ends exactly at the edge";
    EXPECT_EQ(KeepOnScreen(705, 320, 1024), 705) << "ends one past it: the rule's own result";
    EXPECT_EQ(KeepOnScreen(706, 320, 1024), 705);
    EXPECT_EQ(KeepOnScreen(-1, 320, 1024), 0);
    // Larger than the screen: its far edge goes one past the screen's, its near one off screen.
    EXPECT_EQ(KeepOnScreen(0, 1100, 1024), -75);
    // The start position of the main window is the same rule over its client extent.
    for (int x : {-50, 0, 300, 704, 705, 2000})
        EXPECT_EQ(ClampStartCoordinate(x, 320, 1024), KeepOnScreen(x, 320, 1024)) << x;
}

TEST(KeepOnScreen, AGrownWindowMovesUpIntoTheWorkAreaButNeverDownNorAboveItsTop) {
    // A work area from 0 to 738 (a task bar of 30 below it on a 768-pixel screen).
    EXPECT_EQ(TopInsideArea(200, 538, 0, 738), 200) << "ends exactly at the bottom";
    EXPECT_EQ(TopInsideArea(400, 500, 0, 738), 238) << "moved up just far enough";
    EXPECT_EQ(TopInsideArea(400, 900, 0, 738), 0) << "taller than the area: its top at the area's";
    EXPECT_EQ(TopInsideArea(400, 500, 100, 738), 238);
    // Already above the area's top and too tall: left where the user put it rather than moved down.
    EXPECT_EQ(TopInsideArea(-40, 900, 0, 738), -40);
    // A second monitor below the first one.
    EXPECT_EQ(TopInsideArea(1500, 500, 768, 1768), 1268);
}

// ---------------------------------------------------------------------------------------------
// Saving the options handed over
// ---------------------------------------------------------------------------------------------

TEST(SavingSettings, SaveSettingsWritesTheGivenOptionsBesideTheProgram) {
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string base = std::string(temp) + "pelmira_save_options_test";
    const std::string file = base + ".ini";
    ::DeleteFileA(file.c_str());
    State.ProgramBase = base;
    // The main window clears the settings path after reading it; the save must not depend on it.
    State.SettingsFile.clear();

    TOptions options;
    options.X = 123;
    options.Y = -4;
    options.Tray = 1;
    options.LeftClick = 0;
    options.Folders = {"C:\\one", "D:\\two"};
    options.FolderSelect = 1;
    SaveSettings(options);

    const TOptions back = ReadOptions(TIniFile(file), kOptionsSection);
    EXPECT_EQ(back.X, 123);
    EXPECT_EQ(back.Y, -4);
    EXPECT_EQ(back.Tray, 1);
    EXPECT_EQ(back.LeftClick, 0);
    EXPECT_EQ(back.Folders, options.Folders);
    EXPECT_EQ(back.FolderSelect, 1);
    ::DeleteFileA(file.c_str());
    State.ProgramBase.clear();
}
