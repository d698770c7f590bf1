// Other tools' palettes in the colour dialog: the open and save boxes' filters, which paths the
// load takes, and a foreign file read into the ".pli" text the load types in.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "Config.h"
#include "DialogFormats.h"

namespace {

std::vector<std::string> Parts(const std::string& filter) {
    std::vector<std::string> parts;
    for (std::size_t i = 0; i < filter.size() && filter[i] != '\0'; i = filter.find('\0', i) + 1)
        parts.push_back(filter.substr(i, filter.find('\0', i) - i));
    return parts;
}

const std::string kConfigured = std::string("Palette files (*.pli)\0*.pli\0All files (*.*)\0*.*\0\0", 51);

std::string TempPath(const char* name) {
    char folder[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, folder);
    return std::string(folder) + name;
}

}  // namespace

TEST(DialogFormatFilters, OpenBoxListsAllPalettesFirstAndOwnFilesBeforeOtherTools) {
    const std::string filter = LoadFilter(kConfigured, "Every palette");
    ASSERT_EQ(filter.substr(filter.size() - 2), std::string("\0\0", 2));
    const std::vector<std::string> parts = Parts(filter);
    ASSERT_EQ(parts.size(), 2u * 10);  // all, pli, 7 other extensions, all files
    EXPECT_EQ(parts[0], "Every palette");
    EXPECT_EQ(parts[1], "*.pli;*.gpl;*.pal;*.txt;*.hex;*.aco;*.ase;*.act");
    EXPECT_EQ(parts[3], "*.pli");
    EXPECT_EQ(parts[6], "JASC (Paint Shop Pro) palette or Microsoft RIFF palette (*.pal)");
    EXPECT_EQ(parts[7], "*.pal");
    EXPECT_EQ(parts[19], "*.*");

    const std::vector<std::string> save = Parts(SaveFilter(kConfigured));
    ASSERT_EQ(save.size(), 2u * 9);
    EXPECT_EQ(save[1], "*.pli");
    EXPECT_EQ(save[4], "JASC (Paint Shop Pro) palette (*.pal)");
    EXPECT_EQ(save[17], "*.*");
}

TEST(DialogFormatFilters, LoadTakesPliAndEveryOtherKnownExtensionOnly) {
    EXPECT_TRUE(IsLoadablePath("C:\\p\\a.pli"));
    EXPECT_FALSE(IsForeignPalettePath("C:\\p\\a.PLI"));
    for (const char* path : {"a.gpl", "C:\\p\\b.PAL", "c.txt", "d.hex", "e.aco", "f.ase", "g.act"}) {
        EXPECT_TRUE(IsLoadablePath(path)) << path;
        EXPECT_TRUE(IsForeignPalettePath(path)) << path;
    }
    for (const char* path : {"a.doc", "C:\\x.gpl\\palette", "noextension", "a.pal.bak"})
        EXPECT_FALSE(IsLoadablePath(path)) << path;
}

TEST(DialogFormatFilters, MoreColoursTextNamesFileAndCount) {
    EXPECT_EQ(MoreColorsText("%1: %2 colours", "a%2.gpl", 4696), "a%2.gpl: 4696 colours");
    EXPECT_EQ(MoreColorsText("%2 in the file", "a.gpl", 20), "20 in the file");
}

TEST(DialogForeignFiles, ShortPaletteFillsWithWhiteAndSavedCellsReadBack) {
    const std::string gpl = TempPath("pelmira_dialog_three.gpl");
    FILE* f = std::fopen(gpl.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("GIMP Palette\n1 2 3 a\n4 5 6 b\n7 8 9 c\n", f);
    std::fclose(f);
    const TForeignLoad load = LoadForeignPalette(gpl);
    ASSERT_TRUE(load.Ok) << load.Error;
    EXPECT_EQ(load.ColorCount, 3u);
    const pelmira::TPaletteColors colors = pelmira::ParsePaletteColors(load.PaletteText);
    EXPECT_EQ(colors[0], RGB(1, 2, 3));
    EXPECT_EQ(colors[2], RGB(7, 8, 9));
    EXPECT_EQ(colors[3], RGB(255, 255, 255));
    EXPECT_EQ(colors[15], RGB(255, 255, 255));

    // Sixteen cells out as ACO and back through the load: the same COLORREFs in the same order.
    pelmira::TPaletteColors cells{};
    for (int k = 0; k < 16; ++k) cells[k] = RGB(k * 16, 255 - k, k);
    const std::string aco = TempPath("pelmira_dialog_cells.aco");
    ASSERT_EQ(SaveForeignPalette(aco, cells), "");
    const TForeignLoad back = LoadForeignPalette(aco);
    ASSERT_TRUE(back.Ok) << back.Error;
    EXPECT_EQ(pelmira::ParsePaletteColors(back.PaletteText), cells);

    f = std::fopen(gpl.c_str(), "wb");
    std::fputs("GIMP Palette\n1 2\n", f);
    std::fclose(f);
    const TForeignLoad refused = LoadForeignPalette(gpl);
    EXPECT_FALSE(refused.Ok);
    EXPECT_NE(refused.Error.find("pelmira_dialog_three.gpl: GPL"), std::string::npos) << refused.Error;
    ::DeleteFileA(gpl.c_str());
    ::DeleteFileA(aco.c_str());
}
