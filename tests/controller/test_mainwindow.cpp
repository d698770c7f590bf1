// The main window's plain helpers: the tray tip and the command-line argument.
#include <gtest/gtest.h>

#include <string>

#include "MainWindow.h"

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
