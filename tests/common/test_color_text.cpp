// Colours as text: every accepted form, the refusals that keep other clipboard text from
// changing a colour, and the writers read back.
#include <gtest/gtest.h>

#include "ColorText.h"

using pelmira::ParseColorText;
using pelmira::TTextColor;

TEST(ColorText, ReadsEveryFormWithBlanksAndEitherCase) {
    const TTextColor want{0x1A, 0x2B, 0x3C};
    for (const char* text : {"#1A2B3C", "#1a2b3c", "1A2B3C", "  #1A2B3C\r\n", "26,43,60", " 26 , 43 ,60 ",
                             "rgb(26, 43, 60)", "RGB( 26,43,60 )", "rgb (26,43,60)", "\t1a2B3c\n"}) {
        const auto got = ParseColorText(text);
        ASSERT_TRUE(got.has_value()) << text;
        EXPECT_EQ(*got, want) << text;
    }
    EXPECT_EQ(ParseColorText("#F80"), (TTextColor{0xFF, 0x88, 0x00}));  // short digits doubled
    EXPECT_EQ(ParseColorText("#000"), (TTextColor{0, 0, 0}));
    EXPECT_EQ(ParseColorText("255,255,255"), (TTextColor{255, 255, 255}));
    EXPECT_EQ(ParseColorText("007,0,00"), (TTextColor{7, 0, 0}));
}

TEST(ColorText, RefusesTextThatIsNoColour) {
    for (const char* text : {"", "   ", "#", "#12", "#1234", "#12345", "#1234567", "#GG0000", "F80", "12345",
                             "1234567", "hello", "256,0,0", "1,2", "1,2,3,4", "1,,3", ",1,2", "1,2,",
                             "-1,2,3", "1.5,2,3", "0000,1,2", "rgb(1,2,3", "rgb 1,2,3", "rgb(1,2,3))x",
                             "rgba(1,2,3,4)", "rgb()", "#1A2B3C extra", "0x1A2B3C"}) {
        EXPECT_FALSE(ParseColorText(text).has_value()) << '"' << text << '"';
    }
}

TEST(ColorText, PlainNumbersAreOnlyDigits) {
    EXPECT_TRUE(pelmira::IsPlainNumber("128"));
    EXPECT_TRUE(pelmira::IsPlainNumber(" 7\r\n"));
    EXPECT_FALSE(pelmira::IsPlainNumber(""));
    EXPECT_FALSE(pelmira::IsPlainNumber("-5"));
    EXPECT_FALSE(pelmira::IsPlainNumber("1A"));
    EXPECT_FALSE(pelmira::IsPlainNumber("1 2"));
}

TEST(ColorText, WrittenTextsReadBackAndKeepTheByteOrder) {
    const TTextColor colors[] = {{0, 0, 0}, {255, 255, 255}, {0x0A, 0xB0, 0x0C}, {1, 128, 254}};
    for (const TTextColor c : colors) {
        EXPECT_EQ(ParseColorText(pelmira::HexColorText(c)), c);
        EXPECT_EQ(ParseColorText(pelmira::TripleColorText(c)), c);
        EXPECT_EQ(pelmira::TextColorOf(pelmira::ColorRefOf(c)), c);
    }
    EXPECT_EQ(pelmira::HexColorText({0x0A, 0xB0, 0x0C}), "#0AB00C");  // two upper-case digits each
    EXPECT_EQ(pelmira::TripleColorText({1, 128, 254}), "1, 128, 254");
    EXPECT_EQ(pelmira::ColorRefOf({0x11, 0x22, 0x33}), 0x332211u);  // COLORREF order: red lowest
}
