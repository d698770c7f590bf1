// Utility functions that only the hook library's build carries: extension and replacement
// string work, and the open and save boxes with the way each one reports its result.
#include <gtest/gtest.h>

#include "UtilFunc.h"
#include "UtilFuncTestSupport.h"

#include <fstream>

namespace {

using utilfunc_test::DialogDriver;

const std::string kFilter = std::string("Palette files\0*.pli\0All files\0*.*\0", 34);

// Types a name into the box's file-name field (an edit, or the edit of a combo box in the
// explorer-style box) and presses OK.
void TypeNameAndConfirm(HWND box, const std::string& name) {
    for (int id : {0x47c /* cmb13 */, 0x480 /* edt1 */}) {
        if (HWND field = ::GetDlgItem(box, id)) {
            ::SendMessageA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()));
            break;
        }
    }
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
}

// ---------------------------------------------------------------------------------------------
// String work
// ---------------------------------------------------------------------------------------------

TEST(HookPathPieces, ExtensionIsTheTextAfterTheNamesLastDot) {
    EXPECT_EQ(ExtensionOf("D:\\p\\a.pli"), "pli");
    EXPECT_EQ(ExtensionOf("D:\\p\\a.b.PLI"), "PLI");
    EXPECT_EQ(ExtensionOf("D:\\p.q\\name"), "");  // a dotted folder lends the name no extension
    EXPECT_EQ(ExtensionOf("D:\\p\\name."), "");
    EXPECT_EQ(ExtensionOf("a.pli"), "");  // a bare name has no file-name part
}

TEST(HookPathPieces, ReplaceFirstChangesOnlyTheFirstOccurrence) {
    std::string s = "a|b|c";
    EXPECT_TRUE(ReplaceFirst(s, "|", std::string(1, '\0')));
    EXPECT_EQ(s, std::string("a\0b|c", 5));
    EXPECT_FALSE(ReplaceFirst(s, "x", "y"));
    EXPECT_EQ(s, std::string("a\0b|c", 5));
    EXPECT_FALSE(ReplaceFirst(s, "", "y"));
    EXPECT_EQ(s, std::string("a\0b|c", 5));
}

TEST(OpenSaveResult, TheOpenBoxKeepsTheFoldersBackslashTheSaveBoxDropsIt) {
    const TOpenSave open = SplitOpenResult("D:\\p\\a.pli", 5, 7);
    EXPECT_EQ(open.FullPath, "D:\\p\\a.pli");
    EXPECT_EQ(open.Directory, "D:\\p\\");
    EXPECT_EQ(open.FileName, "a.pli");
    EXPECT_EQ(open.Extension, "pli");

    const TOpenSave save = SplitSaveResult("D:\\p\\a.pli");
    EXPECT_EQ(save.FullPath, "D:\\p\\a.pli");
    EXPECT_EQ(save.Directory, "D:\\p");
    EXPECT_EQ(save.FileName, "a.pli");
    EXPECT_EQ(save.Extension, "pli");
}

TEST(OpenSaveResult, NamesWithoutExtensionAndBadOffsetsGiveEmptyParts) {
    // The box reports "no extension" as offset 0 or as the offset of the terminating NUL.
    EXPECT_EQ(SplitOpenResult("D:\\p\\name.", 5, 0).Extension, "");
    EXPECT_EQ(SplitOpenResult("D:\\p\\name", 5, 9).Extension, "");
    const TOpenSave bad = SplitOpenResult("D:\\p\\a.pli", 400, 500);
    EXPECT_EQ(bad.FullPath, "D:\\p\\a.pli");
    EXPECT_EQ(bad.Directory, "");
    EXPECT_EQ(bad.FileName, "");
    EXPECT_EQ(bad.Extension, "");

    const TOpenSave save = SplitSaveResult("D:\\p.q\\name");
    EXPECT_EQ(save.Directory, "D:\\p.q");
    EXPECT_EQ(save.FileName, "name");
    EXPECT_EQ(save.Extension, "");
}

// ---------------------------------------------------------------------------------------------
// The boxes themselves
// ---------------------------------------------------------------------------------------------

TEST(OpenFileDialog, AChosenFileComesBackWithTheFoldersBackslash) {
    TTempFolder temp("utilfunc");
    std::ofstream(temp.File("mine.pli")) << "0=1,2,3\r\n";
    TOpenSave result;
    bool answer = false;
    {
        DialogDriver driver([&](HWND box) { TypeNameAndConfirm(box, temp.File("mine.pli")); });
        answer = OpenFileDialog(nullptr, "", kFilter, temp.Path, result);
        EXPECT_TRUE(driver.Found());
    }
    ASSERT_TRUE(answer);
    EXPECT_EQ(_stricmp(result.FullPath.c_str(), temp.File("mine.pli").c_str()), 0) << result.FullPath;
    EXPECT_EQ(_stricmp(result.Directory.c_str(), (temp.Path + "\\").c_str()), 0) << result.Directory;
    EXPECT_EQ(result.FileName, "mine.pli");
    EXPECT_EQ(result.Extension, "pli");
}

TEST(OpenFileDialog, CancelLeavesTheRecord) {
    TOpenSave result{"keep.pli", "keep.pli", "", "pli"};
    bool answer = true;
    {
        DialogDriver driver([](HWND box) { ::PostMessageA(box, WM_COMMAND, IDCANCEL, 0); });
        answer = OpenFileDialog(nullptr, "keep.pli", kFilter, "", result);
    }
    EXPECT_FALSE(answer);
    EXPECT_EQ(result.FullPath, "keep.pli");
}

TEST(SaveFileDialog, ANewFileComesBackWithoutTheFoldersBackslash) {
    TTempFolder temp("utilfunc");
    TOpenSave result;
    bool answer = false;
    {
        DialogDriver driver([&](HWND box) { TypeNameAndConfirm(box, temp.File("fresh.pli")); });
        answer = SaveFileDialog(nullptr, "default.pli", kFilter, temp.Path, result);
    }
    ASSERT_TRUE(answer);
    EXPECT_EQ(_stricmp(result.Directory.c_str(), temp.Path.c_str()), 0) << result.Directory;
    EXPECT_EQ(result.FileName, "fresh.pli");
    EXPECT_EQ(result.Extension, "pli");
}

}  // namespace
