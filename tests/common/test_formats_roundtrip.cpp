// Palettes written in each format and read back: the colours (and names, where the format has
// them) come back unchanged, and recognition finds the format from the content it wrote.
#include <gtest/gtest.h>

#include <string>

#include "PaletteFormats.h"

using namespace pelmira::formats;

namespace {

// Sixteen colours that exercise every bit of each component and names beyond ASCII.
TPalette SixteenColours() {
    static const char* const kNames[16] = {
        "Black", "White", "Grün", "Ciel bleu", "日本の赤", "emoji 🎨", "", "tab\tinside",
        "x", "Fuchsia", "Olive", "Teal", "Navy", "Maroon", "Silver", "Gray 50%"};
    TPalette colors;
    for (int k = 0; k < 16; ++k) {
        colors.push_back({static_cast<std::uint8_t>(k * 17), static_cast<std::uint8_t>(255 - k * 13),
                          static_cast<std::uint8_t>((k * 101) & 0xFF), kNames[k]});
    }
    colors[0] = {0, 0, 0, "Black"};
    colors[1] = {255, 255, 255, "White"};
    return colors;
}

TPalette WithoutNames(TPalette colors) {
    for (TSwatch& c : colors) {
        c.Name.clear();
    }
    return colors;
}

struct TCase {
    TFormat Format;
    const char* FileName;
};

class RoundTrip : public testing::TestWithParam<TCase> {};

}  // namespace

TEST_P(RoundTrip, SixteenColoursComeBackUnchangedAndNamesWhereTheFormatHasThem) {
    const TCase& c = GetParam();
    const TPalette colors = SixteenColours();
    const TWriteResult written = WritePalette(c.Format, colors);
    ASSERT_TRUE(written.Ok) << written.Error;

    EXPECT_EQ(RecogniseFormat(written.Bytes, c.FileName), c.Format);
    // The content alone must do for the formats that carry a signature, whatever the name.
    if (c.Format == TFormat::Gpl || c.Format == TFormat::JascPal || c.Format == TFormat::RiffPal ||
        c.Format == TFormat::Ase) {
        EXPECT_EQ(RecogniseFormat(written.Bytes, "renamed.bin"), c.Format);
    }

    const TReadResult back = ReadPalette(written.Bytes, c.FileName);
    ASSERT_TRUE(back.Ok) << back.Error;
    EXPECT_EQ(back.Format, c.Format);
    const TPalette expected = FormatInfo(c.Format).CarriesNames ? colors : WithoutNames(colors);
    EXPECT_EQ(back.Colors, expected);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWritableFormat, RoundTrip,
    testing::Values(TCase{TFormat::Pli, "p.pli"}, TCase{TFormat::Gpl, "p.gpl"}, TCase{TFormat::JascPal, "p.pal"},
                    TCase{TFormat::RiffPal, "p.pal"}, TCase{TFormat::PaintNet, "p.txt"},
                    TCase{TFormat::Hex, "p.hex"}, TCase{TFormat::Aco, "p.aco"}, TCase{TFormat::Ase, "p.ase"},
                    TCase{TFormat::Act, "p.act"}),
    [](const testing::TestParamInfo<TCase>& info) { return std::string(FormatInfo(info.param.Format).Extension) + std::to_string(info.index); });

TEST(FormatWriters, PliIsSixteenCrLfLinesAndFillsShortPalettesWithWhite) {
    const TWriteResult w = WritePalette(TFormat::Pli, {{1, 2, 3, "dropped"}});
    ASSERT_TRUE(w.Ok);
    EXPECT_TRUE(w.Bytes.starts_with("0=1,2,3\r\n1=255,255,255\r\n"));
    EXPECT_TRUE(w.Bytes.ends_with("15=255,255,255\r\n"));
}

TEST(FormatWriters, RefuseMoreColoursThanTheFormatHolds) {
    const TPalette many(257, TSwatch{1, 2, 3, {}});
    EXPECT_EQ(WritePalette(TFormat::Act, many).Error, "ACT: 257 colours; the format holds at most 256");
    EXPECT_FALSE(WritePalette(TFormat::Pli, TPalette(17)).Ok);
    EXPECT_FALSE(WritePalette(TFormat::Unknown, many).Ok);
    EXPECT_TRUE(WritePalette(TFormat::Gpl, many).Ok);
}

TEST(FormatWriters, ShortActStillNamesItsCountAndEmptyPalettesRoundTrip) {
    const TWriteResult act = WritePalette(TFormat::Act, {{9, 8, 7, {}}});
    ASSERT_EQ(act.Bytes.size(), 772u);
    const TReadResult back = ReadAct(act.Bytes);
    ASSERT_TRUE(back.Ok);
    EXPECT_EQ(back.Colors, (TPalette{{9, 8, 7, {}}}));
    for (TFormat f : {TFormat::Gpl, TFormat::JascPal, TFormat::RiffPal, TFormat::Aco, TFormat::Ase, TFormat::Act}) {
        const TReadResult empty = ReadPaletteAs(f, WritePalette(f, {}).Bytes);
        EXPECT_TRUE(empty.Ok && empty.Colors.empty()) << FormatInfo(f).Extension << " " << empty.Error;
    }
}

TEST(FormatWriters, NamesThatWouldBreakALineAreKeptOnOne) {
    const TWriteResult w = WritePalette(TFormat::Gpl, {{1, 2, 3, "two\nlines\r"}});
    const TReadResult back = ReadGpl(w.Bytes);
    ASSERT_TRUE(back.Ok) << back.Error;
    ASSERT_EQ(back.Colors.size(), 1u);
    EXPECT_EQ(back.Colors[0].Name, "two lines");
}
