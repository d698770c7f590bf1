// The converter's command line: which lines ask for it and what its two paths are.
#include <gtest/gtest.h>

#include "Convert.h"

using Words = std::vector<std::string>;

TEST(ConvertCommandLine, QuotedProgramAndPathsKeepTheirSpaces) {
    EXPECT_EQ(ConvertArguments("\"C:\\Program Files\\P\\vorlund.exe\" /convert \"C:\\my pals\\a.gpl\" b.ase"),
              (Words{"C:\\my pals\\a.gpl", "b.ase"}));
    EXPECT_EQ(ConvertArguments("vorlund.exe\t-Convert  a.gpl\t\"\"  "), (Words{"a.gpl", ""}));
    EXPECT_EQ(ConvertArguments("vorlund /CONVERT"), Words{});
}

TEST(ConvertCommandLine, AnythingElseStartsTheController) {
    EXPECT_FALSE(ConvertArguments("vorlund.exe"));
    EXPECT_FALSE(ConvertArguments("vorlund.exe a.pli /convert x y"));
    EXPECT_FALSE(ConvertArguments("vorlund.exe /converter x y"));
    EXPECT_FALSE(ConvertArguments("\"C:\\x /convert\\vorlund.exe\" palettes"));
}
