// The main window's plain helpers: the tray tip and the command-line argument.
#include <gtest/gtest.h>

#include <string>

#include "MainWindow.h"
#include "Program.h"
#include "Startup.h"

TEST(TrayTip, ATitleLongerThanTheTipIsCutTo63Characters) {
    const std::string title(70, 'T');
    EXPECT_EQ(TrayTipText(title), std::string(63, 'T'));
    EXPECT_EQ(TrayTipText(std::string(63, 'x')), std::string(63, 'x'));
    EXPECT_EQ(TrayTipText("Pelmira"), "Pelmira");
}

TEST(CommandLine, TheFirstArgumentFollowsTheProgramNameQuotedOrNot) {
    EXPECT_EQ(FirstCommandLineArgument("\"C:\\Program Files\\vorlund.exe\""), "");
    EXPECT_EQ(FirstCommandLineArgument("\"C:\\Program Files\\vorlund.exe\"   "), "");
    EXPECT_EQ(FirstCommandLineArgument("vorlund.exe abc.pli"), "abc.pli");
    EXPECT_EQ(FirstCommandLineArgument("\"C:\\a b\\vorlund.exe\" \"D:\\my pal\\x.pli\" second"), "D:\\my pal\\x.pli");
    EXPECT_EQ(FirstCommandLineArgument("vorlund.exe\tD:\\pal second"), "D:\\pal");
    // An unclosed quote runs to the end of the line.
    EXPECT_EQ(FirstCommandLineArgument("vorlund.exe \"D:\\pal x"), "D:\\pal x");
}

TEST(ListMenu, OpensAtSignedMousePositionsOrTheWindowsCentreFromTheKeyboard) {
    const RECT window{100, 50, 300, 250};
    // A monitor left of and above the primary one.
    const POINT left = ContextMenuPoint(MAKELPARAM(-200, -30), window);
    EXPECT_EQ(left.x, -200);
    EXPECT_EQ(left.y, -30);
    const POINT keyboard = ContextMenuPoint(static_cast<LPARAM>(-1), window);
    EXPECT_EQ(keyboard.x, 200);
    EXPECT_EQ(keyboard.y, 150);
}

TEST(Shutdown, NoEntryPointOfTheFreedLibraryStaysSet) {
    HookLibrary = ::LoadLibraryA("kernel32.dll");
    ASSERT_NE(HookLibrary, nullptr);
    const auto any = reinterpret_cast<void (*)()>(::GetProcAddress(HookLibrary, "GetTickCount"));
    GetFMObj = reinterpret_cast<TGetFMObj>(any);
    SetHook = reinterpret_cast<TSetHook>(any);
    ChkDialog = reinterpret_cast<TChkDialog>(any);
    GetResHandle = reinterpret_cast<TGetResHandle>(any);
    UnloadHookLibrary();
    EXPECT_EQ(HookLibrary, nullptr);
    EXPECT_EQ(GetFMObj, nullptr);
    EXPECT_EQ(SetHook, nullptr);
    EXPECT_EQ(ChkDialog, nullptr);
    EXPECT_EQ(GetResHandle, nullptr);
}
