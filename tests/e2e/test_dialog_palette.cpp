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

namespace {

std::string PaletteArgs() {
    std::string list;
    for (int k = 0; k < 16; ++k) {
        char hex[8];
        const COLORREF c = PaletteColor(k);
        std::snprintf(hex, sizeof hex, "%02X%02X%02X", GetRValue(c), GetGValue(c), GetBValue(c));
        list += (k ? "," : "") + std::string(hex);
    }
    return "--custom " + list;
}

// A topmost window of this process in one solid colour.
HWND CoverWindow(const RECT& r, COLORREF color) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hbrBackground = ::CreateSolidBrush(color);
    wc.lpszClassName = "PelmiraTestCover";
    ::RegisterClassA(&wc);
    HWND w = ::CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, wc.lpszClassName, "",
                               WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left, r.bottom - r.top, nullptr,
                               nullptr, wc.hInstance, nullptr);
    ::UpdateWindow(w);
    return w;
}

constexpr char kUnreadable[] =
    "Not saved: the custom colours cannot be read where the dialog is. Move it fully into view.";

}  // namespace

// Whatever covers the dialog or lies past the screen's edge, a save writes the cells' own colours
// or writes nothing and says why.
TEST_P(Palette, ASaveWritesTheCellsOwnColoursOrRefuses) {
    TClient client(GetParam(), PaletteArgs());
    HWND dialog = client.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_EQ(WaitForCells(dialog, PaletteCells()), CellsText(PaletteCells()));
    const auto saveIsHonest = [&](const std::string& name) {
        Save(client, dialog, Path(name));
        std::string text;
        ASSERT_TRUE(WaitFor([&] { return ReadTextFile(Path(name), text) || StatusText(dialog) == kUnreadable; }))
            << StatusText(dialog);
        if (ReadTextFile(Path(name), text)) {
            EXPECT_EQ(text, PaletteFileText()) << name;
            EXPECT_EQ(StatusText(dialog), name);
        }
        ::DeleteFileA(Path(name).c_str());
    };

    // A window over cells 2 and 3.
    const POINT a = CustomCellPoint(dialog, 2), b = CustomCellPoint(dialog, 3);
    HWND cover = CoverWindow(RECT{a.x - 8, a.y - 8, b.x + 8, b.y + 8}, RGB(1, 2, 3));
    ASSERT_TRUE(WaitFor([&] { return ScreenPixel(a) == RGB(1, 2, 3) && ScreenPixel(b) == RGB(1, 2, 3); }))
        << "the cover shows";
    saveIsHonest("covered.pli");
    ::DestroyWindow(cover);
    Pump();

    // The right half of the custom grid past the screen's right edge.
    const RECT d = WindowRectOf(dialog);
    const int cellsLeftOfEdge = CustomCellPoint(dialog, 3).x - d.left;
    ::SetWindowPos(dialog, nullptr, ::GetSystemMetrics(SM_CXSCREEN) - cellsLeftOfEdge, d.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitFor([&] { return CustomCellPoint(dialog, 7).x > ::GetSystemMetrics(SM_CXSCREEN); }));
    saveIsHonest("offscreen.pli");
    ::SetWindowPos(dialog, nullptr, d.left, d.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// Alt+F loads and Alt+W saves without the mouse; Alt+V puts the current colour into a cell.
TEST_P(Palette, TheKeyboardLoadsSavesAndSetsAColour) {
    TClient client(GetParam(), "");
    HWND dialog = Open(client);
    ASSERT_NE(dialog, nullptr);
    const auto altKey = [&](char key) {
        ::PostMessageA(dialog, WM_SYSKEYDOWN, static_cast<WPARAM>(key), 1 | 1 << 29);
        ::PostMessageA(dialog, WM_SYSKEYUP, static_cast<WPARAM>(key), 1 | 1 << 29 | 3u << 30);
    };
    const auto answer = [&](const std::string& path) {
        HWND box = client.WaitForBox();
        ASSERT_NE(box, nullptr) << "no box for the key";
        AnswerBox(box, path);
        ASSERT_TRUE(WaitFor([&] { return !::IsWindow(box); }));
    };

    WriteTextFile(Path("keys.pli"), PaletteFileText());
    altKey('F');
    answer(Path("keys.pli"));
    EXPECT_EQ(WaitForCells(dialog, PaletteCells()), CellsText(PaletteCells()));

    altKey('W');
    answer(Path("keyed.pli"));
    std::string text;
    EXPECT_TRUE(WaitFor([&] { return ReadTextFile(Path("keyed.pli"), text) && text == PaletteFileText(); })) << text;

    // A letter that is no button's is left to the dialog.
    altKey('Q');
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog) == "keyed.pli"; }));
    altKey('V');
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog) == "applied"; })) << StatusText(dialog);
    for (const char* name : {"keys.pli", "keyed.pli"}) ::DeleteFileA(Path(name).c_str());
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

    // LF only, as many editors write it: the blues load as well.
    WriteTextFile(Path("lf.pli"), PaletteFileText("\n"));
    Load(client, dialog, Path("lf.pli"));
    EXPECT_EQ(WaitForCells(dialog, PaletteCells()), CellsText(PaletteCells()));

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
    // A file that is no palette of any kind picked in the open box: nothing loads, and the status
    // bar says why.
    WriteTextFile(Path("notes.doc"), PaletteFileText());
    Load(client, dialog, Path("notes.doc"));
    EXPECT_TRUE(WaitFor([&] { return StatusText(dialog) == "Not loaded, not a palette file: notes.doc"; }))
        << StatusText(dialog);
    for (const char* name : {"lf.pli", "nine.pli", "ten.pli", "notes.doc"}) ::DeleteFileA(Path(name).c_str());
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

// Another tool's palette: the open box offers every palette kind first, the first sixteen of a
// GIMP palette's twenty colours fill the cells, and the status bar says the file had more. A
// dropped GIMP palette of three colours leaves the other cells white.
TEST_P(Palette, AGimpPaletteLoadsItsFirstSixteenColours) {
    const std::string list = Path("drop.txt");
    TClient client(GetParam(), "--drop-list \"" + list + "\"");
    HWND dialog = Open(client);
    ASSERT_NE(dialog, nullptr);
    std::string gpl = "GIMP Palette\r\nName: Twenty\r\nColumns: 4\r\n# made for the test\r\n";
    for (int k = 0; k < 20; ++k) {
        const COLORREF c = k < 16 ? PaletteColor(k) : RGB(k, k, k);
        gpl += std::to_string(GetRValue(c)) + "\t" + std::to_string(GetGValue(c)) + " " + std::to_string(GetBValue(c)) +
               "\tcolour " + std::to_string(k) + "\r\n";
    }
    WriteTextFile(Path("twenty.gpl"), gpl);

    ClickButton(PanelOf(dialog), 0);
    HWND box = client.WaitForBox();
    ASSERT_NE(box, nullptr);
    const HWND types = ::GetDlgItem(box, 1136);  // cmb1: the box's file type list
    // The box's controls are Unicode windows: an ANSI request across processes gets UTF-16.
    wchar_t first[256] = {};
    ::SendMessageTimeoutW(types, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first), SMTO_ABORTIFHUNG, 5000, nullptr);
    EXPECT_EQ(std::wstring(first), L"All palettes");
    AnswerBox(box, Path("twenty.gpl"));
    EXPECT_EQ(WaitForCells(dialog, PaletteCells()), CellsText(PaletteCells()));
    EXPECT_EQ(StatusText(dialog), "twenty.gpl: 20 colours, the first 16 loaded");

    WriteTextFile(Path("three.gpl"), "GIMP Palette\n1 2 3\n4 5 6\n7 8 9\n");
    WriteTextFile(list, Path("three.gpl") + "\n");
    ::SendMessageTimeoutA(dialog, ::RegisterWindowMessageA("PelmiraTestDrop"), 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
    std::vector<COLORREF> three = AllWhite();
    three[0] = RGB(1, 2, 3);
    three[1] = RGB(4, 5, 6);
    three[2] = RGB(7, 8, 9);
    EXPECT_EQ(WaitForCells(dialog, three), CellsText(three));
    EXPECT_EQ(StatusText(dialog), "three.gpl");
    {
        TBlockView block;
        SetBlockText(block->PaletteFolder, dir_);
    }
    for (const char* name : {"twenty.gpl", "three.gpl", "drop.txt"}) ::DeleteFileA(Path(name).c_str());
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
