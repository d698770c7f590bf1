// Other tools' real palette files, read from ../shared/palettes by path at run time. Colours are
// checked against the palettes' published values, counts against what each file holds.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "PaletteFormats.h"

using namespace pelmira::formats;

namespace {

const std::filesystem::path kPalettes = PELMIRA_SHARED_PALETTES;

#define SKIP_WITHOUT_SHARED_PALETTES()                                                          \
    if (!std::filesystem::is_directory(kPalettes)) {                                            \
        GTEST_SKIP() << "no ../shared/palettes beside the project: real palette files not read"; \
    }

std::string FileBytes(const std::string& relative) {
    std::ifstream in(kPalettes / relative, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TReadResult ReadShared(const std::string& relative) {
    const std::string bytes = FileBytes(relative);
    EXPECT_FALSE(bytes.empty()) << relative << " is missing or empty";
    return ReadPalette(bytes, relative);
}

TSwatch Rgb(std::uint32_t rgb, std::string name = {}) {
    return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
            static_cast<std::uint8_t>(rgb), std::move(name)};
}

// Within `tolerance` per component: for colours a file holds in Lab or CMYK, whose sRGB
// value depends on rounding in the last step.
testing::AssertionResult Near(const TSwatch& got, std::uint32_t rgb, int tolerance) {
    const TSwatch want = Rgb(rgb);
    if (std::abs(got.R - want.R) <= tolerance && std::abs(got.G - want.G) <= tolerance &&
        std::abs(got.B - want.B) <= tolerance) {
        return testing::AssertionSuccess();
    }
    return testing::AssertionFailure() << "got " << +got.R << "," << +got.G << "," << +got.B << " want "
                                       << +want.R << "," << +want.G << "," << +want.B;
}

struct TFileCase {
    const char* Path;
    TFormat Format;
    std::size_t Count;
};

class SharedPaletteFile : public testing::TestWithParam<TFileCase> {};

}  // namespace

TEST_P(SharedPaletteFile, ReadsWithItsFormatAndEveryColour) {
    SKIP_WITHOUT_SHARED_PALETTES();
    const TFileCase& c = GetParam();
    const TReadResult r = ReadShared(c.Path);
    ASSERT_TRUE(r.Ok) << c.Path << ": " << r.Error;
    EXPECT_EQ(r.Format, c.Format) << c.Path;
    EXPECT_EQ(r.Colors.size(), c.Count) << c.Path;
}

INSTANTIATE_TEST_SUITE_P(
    AsPublished, SharedPaletteFile,
    testing::Values(TFileCase{"gpl/db16.gpl", TFormat::Gpl, 16}, TFileCase{"gpl/nord.gpl", TFormat::Gpl, 16},
                    TFileCase{"gpl/Windows_XP_basic_colors.gpl", TFormat::Gpl, 48},
                    TFileCase{"gpl/pear36-sep-rn.gpl", TFormat::Gpl, 36},
                    TFileCase{"gpl/atari-800xl-palette.gpl", TFormat::Gpl, 256},
                    TFileCase{"gpl/oxygen.gpl", TFormat::Gpl, 126},
                    TFileCase{"jasc-pal/DB16.pal", TFormat::JascPal, 16},
                    TFileCase{"jasc-pal/paintnet-palette.pal", TFormat::JascPal, 24},
                    TFileCase{"jasc-pal/jasc256.pal", TFormat::JascPal, 256},
                    TFileCase{"jasc-pal/db8.pal", TFormat::JascPal, 256},
                    TFileCase{"jasc-pal/empty.pal", TFormat::JascPal, 0},
                    TFileCase{"paintnet-txt/Default_Paint.NET_Palette.txt", TFormat::PaintNet, 96},
                    TFileCase{"paintnet-txt/DawnBringers-32-color-palette-pdn.txt", TFormat::PaintNet, 32},
                    TFileCase{"paintnet-txt/Paint_NET.txt", TFormat::PaintNet, 27},
                    TFileCase{"paintnet-txt/eb-gb-strawberry-flavour.txt", TFormat::PaintNet, 4},
                    TFileCase{"paintnet-txt/lospec500.txt", TFormat::PaintNet, 42},
                    TFileCase{"hex/pear36.hex", TFormat::Hex, 36}, TFileCase{"hex/behr.hex", TFormat::Hex, 4696},
                    TFileCase{"hex/pear36-transparency.hex", TFormat::Hex, 36},
                    TFileCase{"hex/sweetie-16.hex", TFormat::Hex, 16}, TFileCase{"aco/nord.aco", TFormat::Aco, 16},
                    TFileCase{"aco/arne-v20-16.aco", TFormat::Aco, 16},
                    TFileCase{"aco/Zeldman-v1.aco", TFormat::Aco, 6}, TFileCase{"aco/NES.aco", TFormat::Aco, 52},
                    TFileCase{"aco/colors-css.aco", TFormat::Aco, 17},
                    TFileCase{"aco/pantone.aco", TFormat::Aco, 1354}, TFileCase{"ase/nord.ase", TFormat::Ase, 16},
                    TFileCase{"ase/Windows_XP_basic_colors.ase", TFormat::Ase, 48},
                    TFileCase{"ase/wisteric-17.ase", TFormat::Ase, 17},
                    TFileCase{"ase/Grayscale_palette.ase", TFormat::Ase, 11},
                    TFileCase{"ase/ADG3-CMYK.ase", TFormat::Ase, 61},
                    TFileCase{"ase/palette_simple.ase", TFormat::Ase, 3},
                    TFileCase{"ase/argyle-socks.ase", TFormat::Ase, 5},
                    TFileCase{"riff-pal/arne-v20-16.pal", TFormat::RiffPal, 16},
                    TFileCase{"riff-pal/sample.pal", TFormat::RiffPal, 256},
                    TFileCase{"riff-pal/CortexCommand.pal", TFormat::RiffPal, 256}));

TEST(SharedPaletteColours, DawnBringerSixteenInEveryFormatItComesIn) {
    SKIP_WITHOUT_SHARED_PALETTES();
    // DawnBringer's published 16: #140C1C, #442434, #30346D, ... #DEEED6.
    const TReadResult gpl = ReadShared("gpl/db16.gpl");
    ASSERT_TRUE(gpl.Ok) << gpl.Error;
    EXPECT_EQ(gpl.Colors[0], Rgb(0x140C1C, "Valhalla"));  // names follow a run of spaces
    EXPECT_EQ(gpl.Colors[1], Rgb(0x442434, "Loulou"));
    EXPECT_EQ(gpl.Colors[2], Rgb(0x30346D, "Dark Blue"));
    EXPECT_EQ(gpl.Colors[15], Rgb(0xDEEED6, "Pale Green"));
    // The JASC copy (LF, no final newline) orders them its own way: red #D04648 first, the
    // last line #D2AA99 read although no line end follows it.
    const TReadResult jasc = ReadShared("jasc-pal/DB16.pal");
    ASSERT_TRUE(jasc.Ok) << jasc.Error;
    EXPECT_EQ(jasc.Colors[0], Rgb(0xD04648));
    EXPECT_EQ(jasc.Colors[4], Rgb(0x140C1C));
    EXPECT_EQ(jasc.Colors[15], Rgb(0xD2AA99));
}

TEST(SharedPaletteColours, NordKeepsItsNamesInGplAcoAndAse) {
    SKIP_WITHOUT_SHARED_PALETTES();
    // Nord's published values: nord0 #2E3440, nord8 #88C0D0, nord15 #B48EAD.
    for (const char* path : {"gpl/nord.gpl", "aco/nord.aco", "ase/nord.ase"}) {
        const TReadResult r = ReadShared(path);
        ASSERT_TRUE(r.Ok) << path << ": " << r.Error;
        ASSERT_EQ(r.Colors.size(), 16u) << path;
        EXPECT_EQ(r.Colors[0], Rgb(0x2E3440, "nord0")) << path;
        EXPECT_EQ(r.Colors[8], Rgb(0x88C0D0, "nord8")) << path;
        EXPECT_EQ(r.Colors[15], Rgb(0xB48EAD, "nord15")) << path;
    }
}

TEST(SharedPaletteColours, OddSpacingTabsBomAndCrLfDoNotChangeTheColours) {
    SKIP_WITHOUT_SHARED_PALETTES();
    // A tab inside the numbers and a trailing space after a name.
    const TReadResult oxygen = ReadShared("gpl/oxygen.gpl");
    ASSERT_TRUE(oxygen.Ok) << oxygen.Error;
    EXPECT_EQ(oxygen.Colors[0], Rgb(0x382509, "wood brown6"));
    EXPECT_EQ(oxygen.Colors[3], Rgb(0x8F6B32, "wood brown3"));
    // BOM + CRLF, and lospec's CRLF without a Name: line: the first colours are the same.
    const TReadResult atari = ReadShared("gpl/atari-800xl-palette.gpl");
    ASSERT_TRUE(atari.Ok) << atari.Error;
    EXPECT_EQ(atari.Colors[0], Rgb(0x000000, "Swatch 1"));
    const TReadResult pearGpl = ReadShared("gpl/pear36-sep-rn.gpl");
    const TReadResult pearHex = ReadShared("hex/pear36.hex");
    const TReadResult pearAlpha = ReadShared("hex/pear36-transparency.hex");
    ASSERT_TRUE(pearGpl.Ok && pearHex.Ok && pearAlpha.Ok);
    EXPECT_EQ(pearHex.Colors[0], Rgb(0x5E315B));
    EXPECT_EQ(pearAlpha.Colors, pearHex.Colors);  // RRGGBBAA: the alpha is dropped, not the blue
    for (std::size_t k = 0; k < pearHex.Colors.size(); ++k) {
        const TSwatch& g = pearGpl.Colors[k];
        EXPECT_EQ((TSwatch{g.R, g.G, g.B, {}}), pearHex.Colors[k]) << k;
    }
    // A comment line of UTF-8 text above Sweetie 16's #1A1C2C.
    const TReadResult sweetie = ReadShared("hex/sweetie-16.hex");
    ASSERT_TRUE(sweetie.Ok) << sweetie.Error;
    EXPECT_EQ(sweetie.Colors[0], Rgb(0x1A1C2C));
}

TEST(SharedPaletteColours, PaintNetAlphaIsDroppedAndJascPaddingIsKept) {
    SKIP_WITHOUT_SHARED_PALETTES();
    const TReadResult pdn = ReadShared("paintnet-txt/Default_Paint.NET_Palette.txt");
    ASSERT_TRUE(pdn.Ok) << pdn.Error;
    EXPECT_EQ(pdn.Colors[0], Rgb(0x000000));
    EXPECT_EQ(pdn.Colors[1], Rgb(0x404040));
    const TReadResult strawberry = ReadShared("paintnet-txt/eb-gb-strawberry-flavour.txt");
    ASSERT_TRUE(strawberry.Ok) << strawberry.Error;
    EXPECT_EQ(strawberry.Colors[0], Rgb(0xF6EDC1));  // lowercase hex
    // db8: DawnBringer's 8 (#000000 #55415F #646964 #D77355 ...) then black up to 256.
    const TReadResult db8 = ReadShared("jasc-pal/db8.pal");
    ASSERT_TRUE(db8.Ok) << db8.Error;
    EXPECT_EQ(db8.Colors[1], Rgb(0x55415F));
    EXPECT_EQ(db8.Colors[3], Rgb(0xD77355));
    EXPECT_EQ(db8.Colors[7], Rgb(0xDCF5FF));
    EXPECT_EQ(db8.Colors[255], Rgb(0x000000));
}

TEST(SharedPaletteColours, AdobeNonRgbModelsConvert) {
    SKIP_WITHOUT_SHARED_PALETTES();
    // Pantone's own sRGB for Yellow C is #FEDD00 and for Black 7 C #3D3935; the file holds Lab.
    const TReadResult pantone = ReadShared("aco/pantone.aco");
    ASSERT_TRUE(pantone.Ok) << pantone.Error;
    EXPECT_EQ(pantone.Colors.front().Name, "PANTONE Yellow C");
    EXPECT_TRUE(Near(pantone.Colors.front(), 0xFEDD00, 2));
    EXPECT_EQ(pantone.Colors.back().Name, "PANTONE Black 7 C");
    EXPECT_TRUE(Near(pantone.Colors.back(), 0x3D3935, 2));
    // Gray swatches named by percentage: 0 black up to 1 white.
    const TReadResult gray = ReadShared("ase/Grayscale_palette.ase");
    ASSERT_TRUE(gray.Ok) << gray.Error;
    EXPECT_EQ(gray.Colors[0], Rgb(0x000000, "0%"));
    EXPECT_EQ(gray.Colors[5], Rgb(0x808080, "50%"));
    EXPECT_EQ(gray.Colors[10], Rgb(0xFFFFFF, "100%"));
    // The one HSB entry of NES.aco is brightness 0: black whatever its hue.
    const TReadResult nes = ReadShared("aco/NES.aco");
    ASSERT_TRUE(nes.Ok) << nes.Error;
    EXPECT_EQ(nes.Colors[51], Rgb(0x000000, "Swatch 52"));
    // CMYK: the last swatch "N0" is no ink at all.
    const TReadResult cmyk = ReadShared("ase/ADG3-CMYK.ase");
    ASSERT_TRUE(cmyk.Ok) << cmyk.Error;
    EXPECT_EQ(cmyk.Colors.back(), Rgb(0xFFFFFF, "N0"));
    // v2 names without their terminating zero, and v1-only files without names.
    const TReadResult arne = ReadShared("aco/arne-v20-16.aco");
    ASSERT_TRUE(arne.Ok) << arne.Error;
    EXPECT_EQ(arne.Colors[0], Rgb(0x000000, "Void"));
    EXPECT_EQ(arne.Colors[1], Rgb(0x9D9D9D, "Ash"));
    const TReadResult zeldman = ReadShared("aco/Zeldman-v1.aco");
    ASSERT_TRUE(zeldman.Ok) << zeldman.Error;
    EXPECT_EQ(zeldman.Colors[0].Name, "");
}

TEST(SharedPaletteColours, RiffAndAseAgreeWithTheSamePaletteInOtherFormats) {
    SKIP_WITHOUT_SHARED_PALETTES();
    const TReadResult riff = ReadShared("riff-pal/arne-v20-16.pal");
    const TReadResult aco = ReadShared("aco/arne-v20-16.aco");
    ASSERT_TRUE(riff.Ok && aco.Ok) << riff.Error << aco.Error;
    for (std::size_t k = 0; k < 16; ++k) {
        EXPECT_EQ(riff.Colors[k], (TSwatch{aco.Colors[k].R, aco.Colors[k].G, aco.Colors[k].B, {}})) << k;
    }
    const TReadResult gpl = ReadShared("gpl/Windows_XP_basic_colors.gpl");
    const TReadResult ase = ReadShared("ase/Windows_XP_basic_colors.ase");
    ASSERT_TRUE(gpl.Ok && ase.Ok);
    EXPECT_EQ(ase.Colors, gpl.Colors);
    EXPECT_EQ(ase.Colors[0], Rgb(0xFF8080, "#FF8080"));  // ChooseColor's first basic colour
}

TEST(SharedPaletteEdges, HeaderlessPalAndKritaZipAreRefusedWithAReason) {
    SKIP_WITHOUT_SHARED_PALETTES();
    const std::string raw = FileBytes("raw-pal/atari-7800-palette.pal");
    ASSERT_EQ(raw.size(), 768u);
    const TReadResult pal = ReadPalette(raw, "atari-7800-palette.pal");
    EXPECT_FALSE(pal.Ok);
    EXPECT_NE(pal.Error.find("PAL:"), std::string::npos) << pal.Error;
    EXPECT_NE(pal.Error.find(".act"), std::string::npos) << pal.Error;
    // The same bytes named .act are a colour table of 256.
    const TReadResult act = ReadPalette(raw, "atari-7800-palette.act");
    ASSERT_TRUE(act.Ok) << act.Error;
    EXPECT_EQ(act.Colors.size(), 256u);
    EXPECT_FALSE(ReadShared("kpl/lakelife.kpl").Ok);
}
