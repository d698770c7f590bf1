// Saving a taken-over dialog's custom colours to a ".pli" file and loading one back, through the
// open and save boxes and by dropping files, on the stand-in and on Wine's own dialog.
#include "DialogHarness.h"

using namespace harness;

namespace {

class Palette : public TDialogSuite, public ::testing::WithParamInterface<TDialogKind> {
protected:
    // Starts a client and waits until its dialog is taken over and painted all white.
    HWND Open(TClient& client) {
        HWND dialog = client.WaitForTakenOverDialog();
        if (dialog != nullptr) {
            EXPECT_EQ(WaitForCells(dialog, AllWhite()), CellsText(AllWhite()));
        }
        return dialog;
    }

    // Presses a panel button and answers the box that it opens with `path`.
    void UseBox(TClient& client, HWND dialog, int button, const std::string& path) {
        ClickButton(PanelOf(dialog), button);
        HWND box = client.WaitForBox();
        ASSERT_NE(box, nullptr) << "no open/save box";
        AnswerBox(box, path);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); })) << "the box stayed open";
    }

    void Load(TClient& client, HWND dialog, const std::string& path) { UseBox(client, dialog, 0, path); }
    void Save(TClient& client, HWND dialog, const std::string& path) { UseBox(client, dialog, 1, path); }
};

std::vector<COLORREF> PaletteCells(int lines = 16) {
    std::vector<COLORREF> cells(16, RGB(0, 0, 0));
    for (int k = 0; k < lines; ++k) cells[k] = PaletteColor(k);
    return cells;
}

std::string AllWhiteFile() {
    std::string text;
    for (int k = 0; k < 16; ++k) text += std::to_string(k) + "=255,255,255\r\n";
    return text;
}

}  // namespace

TEST_P(Palette, SavingAnAllWhiteDialogWritesSixteenWhiteLines) {
    TClient client(GetParam(), "");
    HWND dialog = Open(client);
    ASSERT_NE(dialog, nullptr);
    Save(client, dialog, Path("mycolours"));
    std::string text;
    ASSERT_TRUE(WaitFor([&] { return ReadTextFile(Path("mycolours.pli"), text); })) << "mycolours gets .pli";
    EXPECT_EQ(text, AllWhiteFile());
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog) == "mycolours.pli"; })) << StatusText(dialog);

    // A path with a "." anywhere keeps its name as typed.
    ::CreateDirectoryA(Path("pal.old").c_str(), nullptr);
    Save(client, dialog, Path("pal.old\\mycolours"));
    EXPECT_TRUE(WaitFor([&] { return ReadTextFile(Path("pal.old\\mycolours"), text); }));
    EXPECT_EQ(text, AllWhiteFile());
    ::DeleteFileA(Path("pal.old\\mycolours").c_str());
    ::RemoveDirectoryA(Path("pal.old").c_str());
    ::DeleteFileA(Path("mycolours.pli").c_str());
}

TEST_P(Palette, AFailedSaveIsReportedAndKeepsTheOldFile) {
    TClient client(GetParam(), "");
    HWND dialog = Open(client);
    ASSERT_NE(dialog, nullptr);
    WriteTextFile(Path("held.pli"), "old palette");
    HANDLE held = ::CreateFileA(Path("held.pli").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ClickButton(PanelOf(dialog), 1);
    HWND box = client.WaitForBox();
    ASSERT_NE(box, nullptr);
    AnswerBox(box, Path("held.pli"));
    // The box asks before it overwrites an existing file: say yes.
    HWND ask = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        for (HWND w : TopLevelDialogsOf(client.Pid()))
            if (w != box && w != dialog) ask = w;
        return ask != nullptr || !::IsWindow(box);
    }));
    if (ask != nullptr) ::PostMessageA(ask, WM_COMMAND, IDYES, 0);
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog) == "Not saved: held.pli"; })) << StatusText(dialog);
    ::CloseHandle(held);
    std::string text;
    ASSERT_TRUE(ReadTextFile(Path("held.pli"), text));
    EXPECT_EQ(text, "old palette");
    ::DeleteFileA(Path("held.pli").c_str());
}

TEST_P(Palette, LoadingPutsLineKIntoCellKAgainAndAgain) {
    TClient client(GetParam(), "");
    HWND dialog = Open(client);
    ASSERT_NE(dialog, nullptr);
    WriteTextFile(Path("colours.pli"), PaletteFileText());
    Load(client, dialog, Path("colours.pli"));
    EXPECT_EQ(WaitForCells(dialog, PaletteCells()), CellsText(PaletteCells()));
    EXPECT_EQ(StatusText(dialog), "colours.pli");
    {
        TBlockView block;
        EXPECT_EQ(std::string(block->PaletteFolder), dir_ + "\\") << "the open box's folder is published";
    }
    // A second load starts where the add button stands now: still line k into cell k.
    std::string reversed;
    std::vector<COLORREF> expected;
    for (int k = 0; k < 16; ++k) {
        reversed += std::to_string(k) + "=" + ColorText(PaletteColor(15 - k)) + "\r\n";
        expected.push_back(PaletteColor(15 - k));
    }
    WriteTextFile(Path("reversed.pli"), reversed);
    Load(client, dialog, Path("reversed.pli"));
    EXPECT_EQ(WaitForCells(dialog, expected), CellsText(expected));
    ::DeleteFileA(Path("colours.pli").c_str());
    ::DeleteFileA(Path("reversed.pli").c_str());
}

TEST_P(Palette, OddFilesLoadByTheLineRules) {
    TClient client(GetParam(), "");
    HWND dialog = Open(client);
    ASSERT_NE(dialog, nullptr);

    // LF only: every blue text is empty.
    WriteTextFile(Path("lf.pli"), PaletteFileText("\n"));
    Load(client, dialog, Path("lf.pli"));
    EXPECT_TRUE(WaitFor([&] { return BoxText(dialog, 708).empty() && !BoxText(dialog, 706).empty(); }))
        << "blue " << BoxText(dialog, 708);
    if (GetParam() == TDialogKind::StandIn) {
        std::vector<COLORREF> noBlue;
        for (int k = 0; k < 16; ++k) noBlue.push_back(PaletteColor(k) & 0x00FFFF);
        EXPECT_EQ(WaitForCells(dialog, noBlue), CellsText(noBlue));
    }

    // "9=1,2,3" as the first line goes to cell 0: the number is not read.
    WriteTextFile(Path("nine.pli"), "9=1,2,3\r\n" + PaletteFileText().substr(PaletteFileText().find('\n') + 1));
    Load(client, dialog, Path("nine.pli"));
    std::vector<COLORREF> nine = PaletteCells();
    nine[0] = RGB(1, 2, 3);
    EXPECT_EQ(WaitForCells(dialog, nine), CellsText(nine));

    // Ten lines: entries 10 to 15 are typed in empty (the stand-in reads an empty box as 0).
    WriteTextFile(Path("ten.pli"), PaletteFileText("\r\n", 10));
    Load(client, dialog, Path("ten.pli"));
    EXPECT_TRUE(WaitFor([&] { return CustomCells(dialog)[9] == PaletteColor(9) && CustomCells(dialog)[0] == PaletteColor(0); }));
    if (GetParam() == TDialogKind::StandIn) {
        EXPECT_EQ(WaitForCells(dialog, PaletteCells(10)), CellsText(PaletteCells(10)));
    }
    for (const char* name : {"lf.pli", "nine.pli", "ten.pli"}) ::DeleteFileA(Path(name).c_str());
}

TEST_P(Palette, ALoadThatCannotReadItsFileLeavesTheColoursAlone) {
    TClient client(GetParam(), "--color 000000");
    HWND dialog = Open(client);
    ASSERT_NE(dialog, nullptr);
    WriteTextFile(Path("busy.pli"), PaletteFileText());
    HANDLE held = ::CreateFileA(Path("busy.pli").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Load(client, dialog, Path("busy.pli"));
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog) == "Not loaded: busy.pli"; })) << StatusText(dialog);
    ::CloseHandle(held);

    // Larger than 64 KiB: refused unread, whatever it holds.
    WriteTextFile(Path("huge.pli"), PaletteFileText() + std::string(70000, '\n'));
    Load(client, dialog, Path("huge.pli"));
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog) == "Not loaded: huge.pli"; })) << StatusText(dialog);
    // No add was pressed: the black current colour reached no cell.
    EXPECT_EQ(CellsText(CustomCells(dialog)), CellsText(AllWhite()));
    ::DeleteFileA(Path("busy.pli").c_str());
    ::DeleteFileA(Path("huge.pli").c_str());
}

TEST_P(Palette, DroppedFilesLoadTheFirstAndNothingButPli) {
    const std::string list = Path("drop.txt");
    TClient client(GetParam(), "--drop-list \"" + list + "\"");
    HWND dialog = Open(client);
    ASSERT_NE(dialog, nullptr);
    const UINT dropMessage = ::RegisterWindowMessageA("PelmiraTestDrop");

    WriteTextFile(Path("notes.txt"), PaletteFileText());
    WriteTextFile(list, Path("notes.txt") + "\n");
    ::SendMessageTimeoutA(dialog, dropMessage, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
    EXPECT_EQ(StatusText(dialog), "");
    EXPECT_EQ(CellsText(CustomCells(dialog)), CellsText(AllWhite()));

    WriteTextFile(Path("first.pli"), PaletteFileText());
    WriteTextFile(Path("second.pli"), AllWhiteFile());
    WriteTextFile(list, Path("first.pli") + "\n" + Path("second.pli") + "\n");
    ::SendMessageTimeoutA(dialog, dropMessage, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
    EXPECT_EQ(WaitForCells(dialog, PaletteCells()), CellsText(PaletteCells()));
    EXPECT_EQ(StatusText(dialog), "first.pli");
    {
        TBlockView block;
        EXPECT_EQ(std::string(block->PaletteFolder), dir_) << "a drop publishes the folder without backslash";
        SetBlockText(block->PaletteFolder, dir_);
    }
    for (const char* name : {"notes.txt", "first.pli", "second.pli", "drop.txt"}) ::DeleteFileA(Path(name).c_str());
}

TEST_F(TDialogSuite, LongLinesLoadIntoTheStandIn) {
    // Wine's boxes take three digits only, so the padded numbers go to the stand-in.
    TClient client(TDialogKind::StandIn, "");
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    const std::string pad(300, '0');
    std::string text = "0=" + pad + "12," + pad + "34," + pad + "56\r\n";
    text += PaletteFileText().substr(PaletteFileText().find('\n') + 1);
    WriteTextFile(Path("long.pli"), text);
    ClickButton(PanelOf(dialog), 0);
    HWND box = client.WaitForBox();
    ASSERT_NE(box, nullptr);
    AnswerBox(box, Path("long.pli"));
    std::vector<COLORREF> expected = PaletteCells();
    expected[0] = RGB(12, 34, 56);
    EXPECT_EQ(WaitForCells(dialog, expected), CellsText(expected));
    ::DeleteFileA(Path("long.pli").c_str());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, Palette, ::testing::Values(TDialogKind::StandIn, TDialogKind::Wine),
                         [](const ::testing::TestParamInfo<TDialogKind>& info) { return KindName(info.param); });
