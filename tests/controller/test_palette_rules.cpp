// The palette library's rules: palette names, folder paths, file dates, the current row.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PaletteRules.h"

namespace {

bool ShiftJisLeadByte(unsigned char byte) { return ::IsDBCSLeadByteEx(932, byte) != FALSE; }
bool NoLeadByte(unsigned char) { return false; }

}  // namespace

// ---------------------------------------------------------------------------------------------
// Palette names
// ---------------------------------------------------------------------------------------------

TEST(PaletteName, EachForbiddenCharacterRefusesTheNameWhereverItStands) {
    for (const char ch : std::string(kForbiddenNameCharacters)) {
        const std::string c(1, ch);
        EXPECT_FALSE(IsValidPaletteName(c + "abc", NoLeadByte)) << c;
        EXPECT_FALSE(IsValidPaletteName("ab" + c + "c", NoLeadByte)) << c;
        EXPECT_FALSE(IsValidPaletteName("abc" + c, NoLeadByte)) << c;
    }
    EXPECT_TRUE(IsValidPaletteName("Blue", NoLeadByte));
    EXPECT_TRUE(IsValidPaletteName("my colours (2003) & more.old", NoLeadByte));
    EXPECT_TRUE(IsValidPaletteName(std::string(249, 'a'), NoLeadByte));  // the length is checked apart
}

TEST(PaletteName, AShiftJisTrailByteWithTheCodeOfABackslashIsPartOfItsCharacter) {
    // 0x95 0x5C is a kanji whose trail byte is the code of "\".
    const std::string kanji = "\x95\x5C";
    EXPECT_TRUE(IsValidPaletteName("a" + kanji + "b", ShiftJisLeadByte));
    EXPECT_TRUE(IsValidPaletteName(kanji, ShiftJisLeadByte));
    // The same bytes in a single-byte code page hold a real backslash.
    EXPECT_FALSE(IsValidPaletteName("a" + kanji + "b", NoLeadByte));
    // A backslash after the double-byte character is still one.
    EXPECT_FALSE(IsValidPaletteName(kanji + "\\", ShiftJisLeadByte));
    // A lead byte at the very end has no trail byte to take with it.
    EXPECT_TRUE(IsValidPaletteName("ab\x95", ShiftJisLeadByte));
}

TEST(PaletteName, DeviceNamesAreRefusedInAnyCaseAlsoWithAnExtension) {
    for (const char* name : {"CON", "con", "Prn", "aux", "NUL", "COM1", "com9", "LPT1", "lpt9", "nul.old",
                             "CON .x", "Aux.backup.2"}) {
        EXPECT_TRUE(IsReservedDeviceName(name)) << name;
        EXPECT_FALSE(IsValidPaletteName(name, NoLeadByte)) << name;
    }
    for (const char* name : {"CONSOLE", "COM", "COM0", "LPT10", "NULL", "xCON", "my con", "COMA", "Auxiliary"}) {
        EXPECT_FALSE(IsReservedDeviceName(name)) << name;
        EXPECT_TRUE(IsValidPaletteName(name, NoLeadByte)) << name;
    }
}

TEST(PaletteName, ANameEndingInADotOrABlankIsRefused) {
    EXPECT_FALSE(IsValidPaletteName("abc.", NoLeadByte));
    EXPECT_FALSE(IsValidPaletteName("abc ", NoLeadByte));
    EXPECT_FALSE(IsValidPaletteName(" ", NoLeadByte));
    EXPECT_TRUE(IsValidPaletteName(" abc", NoLeadByte));
    EXPECT_TRUE(IsValidPaletteName("a.b c", NoLeadByte));
    // A double-byte character at the end is no blank, whatever its trail byte.
    EXPECT_TRUE(IsValidPaletteName("abc\x81\x40", ShiftJisLeadByte));
}

TEST(PaletteName, RowTextIsTheFileNameLessItsExtension) {
    EXPECT_EQ(RowTextOf("abc.pli"), "abc");
    EXPECT_EQ(RowTextOf("a.b.PLI"), "a.b");
    EXPECT_EQ(RowTextOf(".pli"), "");
    EXPECT_EQ(RowTextOf(""), "");
}

// ---------------------------------------------------------------------------------------------
// Folders and paths
// ---------------------------------------------------------------------------------------------

TEST(FolderPath, JoiningDropsOneTrailingBackslashOfTheFolder) {
    EXPECT_EQ(JoinPath("D:\\Pal", "a.pli"), "D:\\Pal\\a.pli");
    EXPECT_EQ(JoinPath("D:\\Pal\\", "a.pli"), "D:\\Pal\\a.pli");
    EXPECT_EQ(JoinPath("D:\\", "a.pli"), "D:\\a.pli");
}

TEST(FolderPath, TidyingKeepsDriveRootsAndDropsOtherTrailingBackslashesAndBlanks) {
    EXPECT_EQ(TidyFolderPath("D:"), "D:\\");
    EXPECT_EQ(TidyFolderPath("D:\\"), "D:\\");
    EXPECT_EQ(TidyFolderPath("D:\\Pal\\"), "D:\\Pal");
    EXPECT_EQ(TidyFolderPath("D:\\Pal"), "D:\\Pal");
    EXPECT_EQ(TidyFolderPath("D:\\Pal  "), "D:\\Pal");
    EXPECT_EQ(TidyFolderPath("\\"), "\\");

    EXPECT_EQ(WithoutTrailingBackslash("D:\\"), "D:");
    EXPECT_EQ(WithoutTrailingBackslash("D:\\Pal"), "D:\\Pal");
    EXPECT_EQ(WithoutRootBackslash("D:\\"), "D:");
    EXPECT_EQ(WithoutRootBackslash("D:\\Pal\\"), "D:\\Pal\\");
}

TEST(FolderPath, APathTooLongForTheAnsiFileFunctionsIsRecognised) {
    EXPECT_FALSE(PathTooLong(std::string(MAX_PATH - 1, 'a')));
    EXPECT_TRUE(PathTooLong(std::string(MAX_PATH, 'a')));
}

// ---------------------------------------------------------------------------------------------
// Dates and rows
// ---------------------------------------------------------------------------------------------

TEST(FileDate, FixedWidthFieldsMakeTextOrderTheTimeOrder) {
    SYSTEMTIME t{};
    t.wYear = 2003;
    t.wMonth = 2;
    t.wDay = 12;
    t.wHour = 9;
    t.wMinute = 5;
    t.wSecond = 7;
    EXPECT_EQ(FormatFileDate(t), "2003/02/12 09:05:07");

    SYSTEMTIME later = t;
    later.wMonth = 11;
    later.wHour = 0;
    EXPECT_LT(FormatFileDate(t), FormatFileDate(later));
    later = t;
    later.wSecond = 10;
    EXPECT_LT(FormatFileDate(t), FormatFileDate(later));
}

TEST(CurrentRow, FollowsTheCurrentFileByItsExactName) {
    const std::vector<std::string> rows = {"def", "ABC", "abc"};
    EXPECT_EQ(RowOfFile(rows, "abc.pli"), 2);
    EXPECT_EQ(RowOfFile(rows, "ABC.pli"), 1);
    EXPECT_EQ(RowOfFile(rows, "xyz.pli"), -1);
    EXPECT_EQ(RowOfFile(rows, ""), -1);
}
