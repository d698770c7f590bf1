// The palette text as files hold it: what the dialog loader and the controller read from a
// file, and the exact bytes a save writes.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "PaletteText.h"

using namespace pelmira;

namespace {

std::string AllWhiteFile() {
    std::string text;
    for (int k = 0; k < 16; ++k) {
        text += std::to_string(k) + "=255,255,255\r\n";
    }
    return text;
}

}  // namespace

TEST(PaletteFormat, AllWhiteGivesSixteenNumberedCrLfLines) {
    TPaletteColors white;
    white.fill(0x00FFFFFF);
    EXPECT_EQ(FormatPaletteText(white), AllWhiteFile());
}

TEST(PaletteFormat, ComponentsComeFromTheLowBytesAndBlueKeepsHighBits) {
    EXPECT_EQ(MakeColorText(0x00010203), "3,2,1\r\n");
    EXPECT_EQ(MakeColorText(0xFFFFFFFF), "255,255,65535\r\n");  // GetPixel off the screen
    EXPECT_EQ(MakePaletteLine(5, 0x000080FF), "5=255,128,0\r\n");
}

TEST(PaletteFormat, WhatIsWrittenReadsBackTheSame) {
    TPaletteColors colors;
    for (int k = 0; k < 16; ++k) {
        colors[k] = static_cast<std::uint32_t>(k * 16 | (255 - k) << 8 | (k * 7) << 16);
    }
    EXPECT_EQ(ParsePaletteColors(FormatPaletteText(colors)), colors);
}

TEST(PaletteSplit, EachLineGivesItsTextsAsTheyStand) {
    const TPaletteEntries e = SplitPaletteText("0=1,22,333\r\n1=004,x,\r\n");
    EXPECT_EQ(e[0].Index, "0");
    EXPECT_EQ(e[0].Red, "1");
    EXPECT_EQ(e[0].Green, "22");
    EXPECT_EQ(e[0].Blue, "333");
    EXPECT_EQ(e[1].Red, "004");
    EXPECT_EQ(e[1].Green, "x");
    EXPECT_EQ(e[1].Blue, "");
    for (int k = 2; k < 16; ++k) {
        EXPECT_EQ(e[k].Red + e[k].Green + e[k].Blue + e[k].Index, "") << k;
    }
}

TEST(PaletteSplit, LinesEndedByLfOnlyKeepTheirBlue) {
    std::string text;
    for (int k = 0; k < 16; ++k) {
        text += std::to_string(k) + "=10,20,30\n";
    }
    const TPaletteEntries e = SplitPaletteText(text);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(e[k].Red, "10");
        EXPECT_EQ(e[k].Green, "20");
        EXPECT_EQ(e[k].Blue, "30") << k;
    }
    EXPECT_EQ(ParsePaletteColors(text)[3], 0x001E140Au);

    // Mixed endings: each line by its own; a CR LF line still ends its blue at the CR.
    const TPaletteEntries mixed = SplitPaletteText("0=1,2,3\n1=4,5,6\r\n2=7,8,\n");
    EXPECT_EQ(mixed[0].Blue, "3");
    EXPECT_EQ(mixed[1].Blue, "6");
    EXPECT_EQ(mixed[2].Blue, "");
}

TEST(PaletteSplit, TenLinesLeaveTheLastSixEmpty) {
    std::string text;
    for (int k = 0; k < 10; ++k) {
        text += std::to_string(k) + "=1,2,3\r\n";
    }
    const TPaletteEntries e = SplitPaletteText(text);
    EXPECT_EQ(e[9].Blue, "3");
    for (int k = 10; k < 16; ++k) {
        EXPECT_TRUE(e[k].Red.empty() && e[k].Green.empty() && e[k].Blue.empty()) << k;
    }
    EXPECT_EQ(ParsePaletteColors(text)[12], 0u);  // the controller shows black there
}

TEST(PaletteSplit, TheIndexIsNotInterpreted) {
    const TPaletteEntries e = SplitPaletteText("9=1,2,3\r\n");
    EXPECT_EQ(e[0].Red, "1");
    EXPECT_EQ(e[0].Blue, "3");
    EXPECT_EQ(ParsePaletteColors("9=1,2,3\r\n")[0], 0x00030201u);
}

TEST(PaletteSplit, AMissingSeparatorGivesAnEmptyFieldAndRemovesNothing) {
    // No "=": the index is empty and red starts at the line's start.
    TPaletteEntries e = SplitPaletteText("7,8,9\r\n");
    EXPECT_EQ(e[0].Index, "");
    EXPECT_EQ(e[0].Red, "7");
    EXPECT_EQ(e[0].Green, "8");
    EXPECT_EQ(e[0].Blue, "9");
    // One "," only: green is empty and blue takes what is left before CR.
    e = SplitPaletteText("0=7,8\r\n");
    EXPECT_EQ(e[0].Red, "7");
    EXPECT_EQ(e[0].Green, "");
    EXPECT_EQ(e[0].Blue, "8");
}

TEST(PaletteSplit, AFinalLineWithoutLfIsNotRead) {
    std::string text = AllWhiteFile();
    text.resize(text.size() - 2);  // "15=255,255,255" without its CR LF
    const TPaletteEntries e = SplitPaletteText(text);
    EXPECT_EQ(e[14].Blue, "255");
    EXPECT_EQ(e[15].Red, "");
}

TEST(PaletteSplit, LongLinesSplitAtTheirRealSeparators) {
    // Fields past 255 characters used to be cut at a wrapped 8-bit position.
    const std::string pad(300, '0');
    std::string text = "0=" + pad + "12," + pad + "34," + pad + "56\r\n";
    text += "1=" + std::string(1000, ' ') + "," + "2,3\r\n";
    const TPaletteEntries e = SplitPaletteText(text);
    EXPECT_EQ(e[0].Red, pad + "12");
    EXPECT_EQ(e[0].Green, pad + "34");
    EXPECT_EQ(e[0].Blue, pad + "56");
    EXPECT_EQ(e[1].Green, "2");
    EXPECT_EQ(e[1].Blue, "3");
    EXPECT_EQ(ParsePaletteColors(text)[0], 0x0038220Cu);
}

TEST(PaletteComponents, DecimalTakenModulo256AndEmptyIsZero) {
    EXPECT_EQ(ComponentFromText(""), 0);
    EXPECT_EQ(ComponentFromText("255"), 255);
    EXPECT_EQ(ComponentFromText("256"), 0);
    EXPECT_EQ(ComponentFromText("300"), 44);
    EXPECT_EQ(ComponentFromText("99999999999999999999"), 255);  // 10^20 - 1, 256 | 10^20
    EXPECT_EQ(ComponentFromText("12abc"), 12);
    EXPECT_EQ(ComponentFromText("-5"), 0);
}

TEST(PaletteSavePathRule, NameWithoutAnyDotGetsTheExtension) {
    EXPECT_EQ(PaletteSavePath("C:\\pal\\mycolours"), "C:\\pal\\mycolours.pli");
    EXPECT_EQ(PaletteSavePath("C:\\pal.old\\mycolours"), "C:\\pal.old\\mycolours");
    EXPECT_EQ(PaletteSavePath("C:\\pal\\a.txt"), "C:\\pal\\a.txt");
}

TEST(PaletteExtension, OnlyPliInAnyCaseCounts) {
    EXPECT_TRUE(HasPaletteExtension("C:\\x\\a.pli"));
    EXPECT_TRUE(HasPaletteExtension("C:\\x\\a.PlI"));
    EXPECT_FALSE(HasPaletteExtension("C:\\x\\a.txt"));
    EXPECT_FALSE(HasPaletteExtension("C:\\x.pli\\a"));
    EXPECT_FALSE(HasPaletteExtension("C:\\x\\a.plix"));
    EXPECT_FALSE(HasPaletteExtension("C:\\x\\pli"));
    EXPECT_FALSE(HasPaletteExtension(""));
}

TEST(PaletteFilterText, EntriesAreNulSeparatedWithBarsSplitAndAFinalNul) {
    const std::vector<std::string> values{"Palettes|*.pli", "All|*.*"};
    EXPECT_EQ(BuildPaletteFilter(values), std::string("Palettes\0*.pli\0All\0*.*\0\0", 24));
}

TEST(PaletteFilterText, NoEntriesGiveTheBuiltInFilter) {
    const std::string filter = BuildPaletteFilter({});
    EXPECT_EQ(filter.size(), 33u);
    EXPECT_EQ(filter, std::string("pli (*.pli)\0*.pli\0ALL (*.*)\0*.*\0\0", 33));
}

TEST(PaletteFuzz, RandomAndTruncatedTextsNeverBreakTheSplitter) {
    std::mt19937 rng(20261207);
    const std::string base = AllWhiteFile();
    static constexpr char kAlphabet[] = "0123456789=,\r\n\n\n,,==\0xyz \xff";
    for (int round = 0; round < 20000; ++round) {
        std::string text;
        if (round % 2 == 0) {
            text = base.substr(0, rng() % (base.size() + 1));  // truncated real file
            if (!text.empty() && rng() % 3 == 0) {
                text[rng() % text.size()] = static_cast<char>(rng());
            }
        } else {
            const std::size_t length = rng() % 600;
            for (std::size_t i = 0; i < length; ++i) {
                text += kAlphabet[rng() % (sizeof kAlphabet - 1)];
            }
        }
        const TPaletteEntries e = SplitPaletteText(text);
        std::size_t total = 0;
        for (const TPaletteEntry& entry : e) {
            total += entry.Index.size() + entry.Red.size() + entry.Green.size() + entry.Blue.size();
        }
        ASSERT_LE(total, text.size());  // fields are pieces of the text, never more
        (void)ParsePaletteColors(text);
    }
}
