// The controller's palette files on a real file system: what a read gives for odd files, and
// that a write either completes or leaves the old palette exactly as it was.
#include <gtest/gtest.h>

#include "Config.h"

#include <string>
#include <vector>

#include "PaletteStore.h"
#include "TestFiles.h"

namespace {

using pelmira::TPaletteColors;

TPaletteColors Filled(std::uint32_t color) {
    TPaletteColors colors;
    colors.fill(color);
    return colors;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------------------------

TEST(PaletteRead, ShortLinesAndShortFilesGiveZerosWhereTextIsMissing) {
    TTempFolder dir("store");
    // LF alone ends a line as CR LF does: blue is kept.
    std::string lfOnly;
    for (int k = 0; k < 16; ++k) lfOnly += std::to_string(k) + "=10,20,30\n";
    ASSERT_TRUE(WriteTextFile(dir.File("lf.pli"), lfOnly));
    TPaletteColors colors = Filled(0x123456);
    ASSERT_TRUE(LoadPaletteColors(dir.File("lf.pli"), colors));
    for (std::uint32_t c : colors) EXPECT_EQ(c, 0x1E140Au);

    std::string tenLines;
    for (int k = 0; k < 10; ++k) tenLines += std::to_string(k) + "=255,0,0\r\n";
    ASSERT_TRUE(WriteTextFile(dir.File("ten.pli"), tenLines));
    ASSERT_TRUE(LoadPaletteColors(dir.File("ten.pli"), colors));
    for (int k = 0; k < 10; ++k) EXPECT_EQ(colors[k], 0x0000FFu) << k;
    for (int k = 10; k < 16; ++k) EXPECT_EQ(colors[k], 0u) << k;
}

TEST(PaletteRead, ComponentsReadAsTheirLeadingDigitsModulo256) {
    TTempFolder dir("store");
    ASSERT_TRUE(WriteTextFile(dir.File("odd.pli"), "0=12abc,x7,-5\r\n1=0x1F,257, 9\r\n2=1e3,+4,99999999999999999999\r\n"));
    TPaletteColors colors{};
    ASSERT_TRUE(LoadPaletteColors(dir.File("odd.pli"), colors));
    EXPECT_EQ(colors[0], 12u);                   // 12, 0 (no digit first), 0
    EXPECT_EQ(colors[1], 0u | 1u << 8);          // 0 of 0x1F, 257 mod 256, 0 of " 9"
    EXPECT_EQ(colors[2], 1u | 255u << 16);  // 10^20 - 1 is 255 modulo 256
}

TEST(PaletteRead, MissingHeldOrOversizedFilesLeaveTheColoursAsTheyWere) {
    TTempFolder dir("store");
    TPaletteColors colors = Filled(0xABCDEF);
    EXPECT_FALSE(LoadPaletteColors(dir.File("missing.pli"), colors));

    ASSERT_TRUE(WriteTextFile(dir.File("big.pli"), "0=1,2,3\r\n" + std::string(64 * 1024, ' ')));
    EXPECT_FALSE(LoadPaletteColors(dir.File("big.pli"), colors));

    ASSERT_TRUE(WriteTextFile(dir.File("held.pli"), "0=1,2,3\r\n"));
    HANDLE held = ::CreateFileA(dir.File("held.pli").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(LoadPaletteColors(dir.File("held.pli"), colors));
    ::CloseHandle(held);
    EXPECT_EQ(colors, Filled(0xABCDEF));
}

TEST(PaletteRead, LinesEndedByLfAloneKeepTheirBlue) {
    TTempFolder dir("store");
    std::string mixed;
    for (int k = 0; k < 16; ++k) mixed += std::to_string(k) + "=10,20," + std::to_string(30 + k) + (k % 2 ? "\n" : "\r\n");
    ASSERT_TRUE(WriteTextFile(dir.File("mixed.pli"), mixed));
    TPaletteColors colors{};
    ASSERT_TRUE(LoadPaletteColors(dir.File("mixed.pli"), colors));
    for (int k = 0; k < 16; ++k) EXPECT_EQ(colors[k], 10u | 20u << 8 | static_cast<std::uint32_t>(30 + k) << 16) << k;
}

TEST(PaletteRead, AFailedReadSaysWhyInTheSystemsTerms) {
    TTempFolder dir("store");
    TPaletteColors colors{};
    DWORD error = 0;
    EXPECT_FALSE(LoadPaletteColors(dir.File("missing.pli"), colors, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    ASSERT_TRUE(WriteTextFile(dir.File("held.pli"), "0=1,2,3\r\n"));
    HANDLE held = ::CreateFileA(dir.File("held.pli").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_FALSE(LoadPaletteColors(dir.File("held.pli"), colors, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    ::CloseHandle(held);
    EXPECT_TRUE(LoadPaletteColors(dir.File("held.pli"), colors, &error));
    EXPECT_EQ(error, 0u);
}

// ---------------------------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------------------------

TEST(PaletteCreate, ANewPaletteIsWrittenButNoExistingFileOrFolderIsReplaced) {
    TTempFolder dir("store");
    ASSERT_EQ(CreatePaletteFile(dir.File("new.pli"), Filled(0xFFFFFF)), 0u);
    EXPECT_EQ(FileText(dir.File("new.pli")).substr(0, 15), "0=255,255,255\r\n");
    EXPECT_EQ(CreatePaletteFile(dir.File("NEW.pli"), Filled(0)), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(FileText(dir.File("new.pli")).substr(0, 15), "0=255,255,255\r\n");
    ASSERT_TRUE(::CreateDirectoryA(dir.File("sub.pli").c_str(), nullptr));
    EXPECT_EQ(CreatePaletteFile(dir.File("sub.pli"), Filled(0)), static_cast<DWORD>(ERROR_FILE_EXISTS));
    ::RemoveDirectoryA(dir.File("sub.pli").c_str());
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"new.pli"});
}

TEST(PaletteWrite, WritesSixteenLinesAndLeavesNoOtherFile) {
    TTempFolder dir("store");
    ASSERT_EQ(SavePaletteColors(dir.File("Blue.pli"), Filled(0xFFFFFF)), 0u);
    std::string expected;
    for (int k = 0; k < 16; ++k) expected += std::to_string(k) + "=255,255,255\r\n";
    EXPECT_EQ(FileText(dir.File("Blue.pli")), expected);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"Blue.pli"});

    TPaletteColors colors = Filled(0x000080);
    colors[15] = 0x030201;
    ASSERT_EQ(SavePaletteColors(dir.File("Blue.pli"), colors), 0u);
    const std::string text = FileText(dir.File("Blue.pli"));
    EXPECT_EQ(text.substr(0, 12), "0=128,0,0\r\n1");
    EXPECT_EQ(text.substr(text.size() - 10), "15=1,2,3\r\n");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"Blue.pli"});
}

TEST(PaletteWrite, ARewriteKeepsTheNameAsStoredOnDisk) {
    TTempFolder dir("store");
    ASSERT_TRUE(WriteTextFile(dir.File("Mixed.PLI"), "old"));
    ASSERT_EQ(SavePaletteColors(dir.File("mixed.pli"), Filled(0)), 0u);
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"Mixed.PLI"});
    EXPECT_EQ(FileText(dir.File("Mixed.PLI")).substr(0, 9), "0=0,0,0\r\n");
}

TEST(PaletteWrite, AReadOnlyPaletteIsReportedAndStaysIntact) {
    TTempFolder dir("store");
    const std::string path = dir.File("locked.pli");
    ASSERT_TRUE(WriteTextFile(path, "old palette"));
    ASSERT_TRUE(::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(SavePaletteColors(path, Filled(0)), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(FileText(path), "old palette");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"locked.pli"});
}

TEST(PaletteWrite, APaletteHeldOpenElsewhereIsReportedAndStaysIntact) {
    TTempFolder dir("store");
    const std::string path = dir.File("busy.pli");
    ASSERT_TRUE(WriteTextFile(path, "old palette"));
    // What a colour dialog's load holds while it reads: the file open without sharing.
    HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(SavePaletteColors(path, Filled(0)), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    ::CloseHandle(held);
    EXPECT_EQ(FileText(path), "old palette");
    EXPECT_EQ(dir.Names(), std::vector<std::string>{"busy.pli"});
}

TEST(PaletteWrite, AMissingFolderOrAFolderInTheWayIsReported) {
    TTempFolder dir("store");
    EXPECT_NE(SavePaletteColors(dir.File("none\\x.pli"), Filled(0)), 0u);
    ASSERT_TRUE(::CreateDirectoryA(dir.File("sub.pli").c_str(), nullptr));
    EXPECT_NE(SavePaletteColors(dir.File("sub.pli"), Filled(0)), 0u);
    ::RemoveDirectoryA(dir.File("sub.pli").c_str());
    EXPECT_TRUE(dir.Names().empty());
}

TEST(PaletteWrite, ErrorsHaveTheSystemsWording) {
    EXPECT_FALSE(SystemErrorText(ERROR_ACCESS_DENIED).empty());
    EXPECT_NE(SystemErrorText(ERROR_ACCESS_DENIED).back(), '\n');
}
