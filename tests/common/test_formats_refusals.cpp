// Damaged and hostile input: every reader refuses with a reason naming the format and the fault,
// never reads past the bytes it was given, and never believes a count the bytes cannot hold.
#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "FormatSupport.h"
#include "PaletteFormats.h"

using namespace pelmira::formats;

namespace {

std::string Be16(unsigned v) {
    return {static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v & 0xFF)};
}

std::string Be32(unsigned v) {
    return Be16(v >> 16) + Be16(v & 0xFFFF);
}

std::string Le16(unsigned v) {
    return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)};
}

std::string Le32(unsigned v) {
    return Le16(v & 0xFFFF) + Le16(v >> 16);
}

// An ASE colour block: name "A", RGB 1,0,0, stating `length` (the true length is 24).
std::string AseRgbBlock(unsigned length) {
    return Be16(1) + Be32(length) + Be16(2) + Be16('A') + Be16(0) + "RGB " + Be32(0x3F800000) + Be32(0) +
           Be32(0) + Be16(2);
}

std::string AseFile(unsigned blocks, const std::string& body) {
    return "ASEF" + Be16(1) + Be16(0) + Be32(blocks) + body;
}

std::string RiffFile(unsigned dataLength, unsigned count, const std::string& entries) {
    return "RIFF" + Le32(4 + 8 + dataLength) + "PAL data" + Le32(dataLength) + Le16(0x0300) + Le16(count) + entries;
}

TPalette Sample() {
    return {{255, 0, 0, "Red"}, {0, 128, 0, "Green"}, {0, 0, 255, "Blue"}, {18, 52, 86, "Other"}};
}

}  // namespace

TEST(FormatRefusals, FilesOverOneMebibyteAreRefusedUnread) {
    EXPECT_FALSE(RefuseBySize(kMaxFormatFileSize).has_value());
    ASSERT_TRUE(RefuseBySize(kMaxFormatFileSize + 1).has_value());
    EXPECT_NE(RefuseBySize(5'000'000'000ull)->find("5000000000 bytes"), std::string::npos);

    // A valid GPL header followed by enough colour lines to pass the limit.
    std::string big = "GIMP Palette\n";
    while (big.size() <= kMaxFormatFileSize) {
        big += "1 2 3\n";
    }
    const TReadResult r = ReadGpl(big);
    EXPECT_FALSE(r.Ok);
    EXPECT_TRUE(r.Error.starts_with("GPL: file is ")) << r.Error;
    EXPECT_FALSE(ReadPalette(big, "x.gpl").Ok);
    for (TFormat f : {TFormat::Pli, TFormat::Aco, TFormat::Ase, TFormat::RiffPal, TFormat::Hex}) {
        EXPECT_FALSE(ReadPaletteAs(f, big).Ok) << FormatInfo(f).Extension;
    }
}

TEST(FormatRefusals, AseLengthsAndCountsAreCheckedAgainstTheFile) {
    const std::string good = AseRgbBlock(24);
    ASSERT_TRUE(ReadAse(AseFile(1, good)).Ok) << ReadAse(AseFile(1, good)).Error;

    EXPECT_EQ(ReadAse(AseFile(3, good + good + AseRgbBlock(25))).Error, "ASE: swatch 3: length past end of file");
    EXPECT_EQ(ReadAse(AseFile(0xFFFFFFFF, good)).Error,
              "ASE: header says 4294967295 blocks, more than the file holds");
    // A name longer than its own block.
    std::string longName = Be16(1) + Be32(8) + Be16(100) + "abcdef";
    EXPECT_EQ(ReadAse(AseFile(1, longName)).Error, "ASE: swatch 1: name past end of block");
    std::string badModel = Be16(1) + Be32(8) + Be16(0) + "HSV " + Be16(0);
    EXPECT_EQ(ReadAse(AseFile(1, badModel)).Error, "ASE: swatch 1: colour model \"HSV \" unknown");
    EXPECT_EQ(ReadAse("ASEF" + Be16(2) + Be16(0) + Be32(0)).Error, "ASE: version 2.0 unknown (1.x expected)");
    // Messages name a block by kind and count: groups by their own count (an end by the group it
    // closes), blocks of unknown type by position.
    const std::string groupStart = Be16(0xC001) + Be32(0);
    const std::string groupEnd = Be16(0xC002) + Be32(0);
    EXPECT_EQ(ReadAse(AseFile(4, groupStart + groupEnd + groupStart + Be16(0xC002) + Be32(9))).Error,
              "ASE: group 2: length past end of file");
    EXPECT_EQ(ReadAse(AseFile(3, good + groupStart + Be16(0x7777) + Be32(9))).Error,
              "ASE: block 3: length past end of file");
}

TEST(FormatRefusals, AseGroupsWithoutEndAndUnknownBlocksAreHarmless) {
    const std::string groupStart = Be16(0xC001) + Be32(6) + Be16(2) + Be16('G') + Be16(0);
    const std::string unknown = Be16(0x7777) + Be32(3) + "xyz";
    const TReadResult r = ReadAse(AseFile(4, groupStart + AseRgbBlock(24) + unknown + AseRgbBlock(24)));
    ASSERT_TRUE(r.Ok) << r.Error;
    EXPECT_EQ(r.Colors, (TPalette{{255, 0, 0, "A"}, {255, 0, 0, "A"}}));
}

TEST(FormatRefusals, AcoCountsNamesAndColourSpacesAreChecked) {
    const std::string rgb = Be16(0) + Be16(0xFFFF) + Be16(0) + Be16(0) + Be16(0);
    EXPECT_EQ(ReadAco(Be16(1) + Be16(3) + rgb + rgb).Error,
              "ACO: version 1 section: header says 3 colours, more than the file holds");
    const std::string pantone = Be16(3) + Be16(0) + Be16(0) + Be16(0) + Be16(0);
    EXPECT_EQ(ReadAco(Be16(1) + Be16(2) + rgb + pantone).Error,
              "ACO: colour 2: colour space 3 (Pantone) cannot be converted to RGB");
    const std::string hugeName = rgb + Be32(0x80000000) + Be16('a');
    EXPECT_EQ(ReadAco(Be16(2) + Be16(1) + hugeName).Error, "ACO: colour 1: name past end of file");
    EXPECT_EQ(ReadAco(Be16(7)).Error, "ACO: version 7 unknown (1 or 2 expected)");
    // A damaged version 2 section is not silently replaced by the first: the file is refused.
    EXPECT_FALSE(ReadAco(Be16(1) + Be16(1) + rgb + Be16(2) + Be16(1) + rgb).Ok);
}

TEST(FormatRefusals, RiffChunksAndCountsAreCheckedAgainstTheFile) {
    EXPECT_TRUE(ReadRiffPal(RiffFile(8, 1, std::string("\x01\x02\x03\x00", 4))).Ok);
    EXPECT_EQ(ReadRiffPal(RiffFile(400, 1, "abcd")).Error, "RIFF: chunk \"data\": length past end of file");
    EXPECT_EQ(ReadRiffPal(RiffFile(8, 2, "abcd")).Error, "RIFF: 2 colours do not fit the 8-byte \"data\" chunk");
    std::string oldVersion = RiffFile(8, 1, "abcd");
    oldVersion[20] = 0x00, oldVersion[21] = 0x02;
    EXPECT_EQ(ReadRiffPal(oldVersion).Error, "RIFF: palette version 0x0200 unknown (0x0300 expected)");
    EXPECT_EQ(ReadRiffPal("RIFF" + Le32(4) + "PAL ").Error, "RIFF: no \"data\" chunk");
    // Another chunk first (an odd length, padded) is skipped.
    const std::string info = "INFO" + Le32(3) + "abc" + '\0';
    const std::string data = "data" + Le32(8) + Le16(0x0300) + Le16(1) + std::string("\x05\x06\x07\x00", 4);
    const TReadResult r = ReadRiffPal("RIFF" + Le32(4 + 12 + 16) + "PAL " + info + data);
    ASSERT_TRUE(r.Ok) << r.Error;
    EXPECT_EQ(r.Colors, (TPalette{{5, 6, 7, {}}}));
}

TEST(FormatRefusals, TextFormatsNameTheLineAtFault) {
    EXPECT_EQ(ReadGpl("GIMP Palette\n1 2 3\n1 2 256 big\n").Error, "GPL: line 3: a number is over 255");
    EXPECT_EQ(ReadGpl("GIMP Palette\n1 2\n").Error, "GPL: line 2: expected three numbers 0-255");
    EXPECT_EQ(ReadGpl("GIMP Palette\n1 2 3x\n").Error, "GPL: line 2: expected three numbers 0-255");
    EXPECT_EQ(ReadGpl("1 2 3\n").Error, "GPL: first line is not \"GIMP Palette\"");
    EXPECT_EQ(ReadJascPal("JASC-PAL\n0100\n3\n1 2 3\n4 5 6\n").Error,
              "JASC: header says 3 colours, the file has 2 more lines");
    EXPECT_EQ(ReadJascPal("JASC-PAL\n0100\n99999999999\n").Error, "JASC: line 3: the colour count is missing or too large");
    EXPECT_EQ(ReadPaintNet("; c\nFF00112\n").Error, "Paint.NET: line 2: expected AARRGGBB in hex");
    EXPECT_EQ(ReadHex("a1b2c3\nnot a colour\n").Error, "HEX: line 2: expected RRGGBB in hex");
    EXPECT_EQ(ReadAct(std::string(769, '\0')).Error, "ACT: file is 769 bytes; a colour table is 768 or 772 bytes");
    EXPECT_EQ(ReadAct(std::string(768, '\0') + Be16(257) + Be16(0xFFFF)).Error, "ACT: colour count 257 is over 256");
}

TEST(FormatRefusals, EveryCutOfAValidFileIsReadOrRefusedNeverOverrun) {
    // Truncation is the commonest damage (an interrupted copy). Each prefix must give either
    // a palette no longer than the original or a reason that names the format.
    for (const TFormatInfo& info : AllFormats()) {
        const std::string whole = WritePalette(info.Format, Sample()).Bytes;
        for (std::size_t n = 0; n < whole.size(); ++n) {
            const TReadResult r = ReadPaletteAs(info.Format, std::string_view(whole).substr(0, n));
            if (r.Ok) {
                // 16 at most, or a whole colour table for an ACT cut exactly at 768 bytes.
                EXPECT_LE(r.Colors.size(), info.Format == TFormat::Act ? 256u : 16u) << info.Extension << " cut at " << n;
            } else {
                EXPECT_NE(r.Error.find(':'), std::string::npos) << r.Error;
            }
        }
    }
}

TEST(PliReading, ToleratesLfOnlyShortFilesAndOddNumbersAsTheDialogDoes) {
    const TReadResult lf = ReadPli("0=10,20,30\n1=1,2,3");
    ASSERT_TRUE(lf.Ok);
    ASSERT_EQ(lf.Colors.size(), 16u);
    EXPECT_EQ(lf.Colors[0], (TSwatch{10, 20, 30, {}}));
    EXPECT_EQ(lf.Colors[1], (TSwatch{1, 2, 3, {}}));  // last line without its line end
    EXPECT_EQ(lf.Colors[2], (TSwatch{0, 0, 0, {}}));  // missing lines are black
    // Components as the dialog reads them: leading digits modulo 256, anything else 0.
    const TReadResult odd = ReadPli("0=256,x7,300 \r\n");
    EXPECT_EQ(odd.Colors[0], (TSwatch{0, 0, 44, {}}));
}

TEST(FormatRecognition, ContentFirstThenExtensionThenWeakContent) {
    const std::string gpl = WritePalette(TFormat::Gpl, Sample()).Bytes;
    EXPECT_EQ(RecogniseFormat(gpl, "misnamed.aco"), TFormat::Gpl);
    EXPECT_EQ(RecogniseFormat("\xEF\xBB\xBFJASC-PAL\r\n0100\r\n0\r\n", "x.txt"), TFormat::JascPal);
    EXPECT_EQ(RecogniseFormat("whatever", "C:\\Palettes.d\\x.ACO"), TFormat::Aco);
    EXPECT_EQ(RecogniseFormat("whatever", "x.pal"), TFormat::Unknown);
    EXPECT_EQ(RecogniseFormat("0=1,2,3\r\n", "noext"), TFormat::Pli);
    EXPECT_EQ(RecogniseFormat("FF112233\r\nFF445566\r\n", "noext"), TFormat::PaintNet);
    EXPECT_EQ(RecogniseFormat("#112233\n#445566\n", "noext"), TFormat::Hex);
    EXPECT_EQ(RecogniseFormat(WritePalette(TFormat::Aco, Sample()).Bytes, "noext"), TFormat::Aco);
    EXPECT_EQ(RecogniseFormat("hello", "noext"), TFormat::Unknown);
    EXPECT_EQ(ReadPalette("hello", "noext").Error, "Palette: not a format Pelmira reads");
    EXPECT_EQ(FormatFromExtension("a.b/c"), TFormat::Unknown);
}

TEST(FormatRefusals, NumbersAroundEveryWordBoundaryAndPowerOfTenAreWrittenExactly) {
    using detail::TDecimal;
    std::vector<unsigned long long> values;
    for (int bit = 0; bit < 64; ++bit) {
        const unsigned long long power = 1ull << bit;
        values.insert(values.end(), {power - 1, power, power + 1});
    }
    for (unsigned long long power = 1; power <= 1000000000000000000ull; power *= 10) {
        values.insert(values.end(), {power - 1, power, power + 1, power * 9 + 9});
    }
    values.push_back(12345678901234567890ull);
    for (unsigned long long value : values) {
        EXPECT_EQ(std::string_view(TDecimal(value)), std::to_string(value));
        const long long signedValue = -static_cast<long long>(value >> 1);
        EXPECT_EQ(std::string_view(TDecimal(signedValue)), std::to_string(signedValue));
    }
}

TEST(FormatRefusals, NumbersInMessagesAndLinesAreWrittenInFull) {
    using detail::TDecimal;
    EXPECT_EQ(std::string_view(TDecimal(0)), "0");
    EXPECT_EQ(std::string_view(TDecimal(-1)), "-1");
    EXPECT_EQ(std::string_view(TDecimal(std::numeric_limits<long long>::min())), "-9223372036854775808");
    EXPECT_EQ(std::string_view(TDecimal(std::numeric_limits<unsigned long long>::max())), "18446744073709551615");
    EXPECT_EQ(std::string_view(TDecimal(std::uint8_t{255})), "255");
    EXPECT_EQ(detail::PaddedDecimal(7, 3), "  7");
    EXPECT_EQ(detail::PaddedDecimal(1234, 3), "1234") << "wider numbers are never cut";
    EXPECT_EQ(detail::Text({"a", TDecimal(10), "", "b"}), "a10b");
    EXPECT_EQ(RefuseBySize(18446744073709551615ull).value(),
              "file is 18446744073709551615 bytes; palette files over 1 MiB are refused");
}
