// Palette files on disk and the dialog's settings files: what a load refuses before touching the
// dialog, what a save leaves behind when it fails, and the defaults of every setting.
#include <gtest/gtest.h>

#include "Config.h"

#include <memory>
#include <string>
#include <vector>

#include "ButtonFont.h"
#include "CellGeometry.h"
#include "DialogSettings.h"
#include "PaletteFile.h"
#include "PaletteText.h"
#include "TestFiles.h"
#include "UtilFunc.h"

namespace {

std::string Slurp(const std::string& path) {
    std::string text;
    EXPECT_EQ(ReadPaletteFile(path, text), TPaletteReadResult::Ok);
    return text;
}

}  // namespace

TEST(PaletteFileRead, ReadsTheWholeFileAsItStands) {
    TTempFolder dir("palette");
    const std::string text = "0=1,2,3\r\n1=4,5,6\n\0tail";
    WriteTextFile(dir.File("a.pli"), text);
    EXPECT_EQ(Slurp(dir.File("a.pli")), text);
    WriteTextFile(dir.File("empty.pli"), "");
    EXPECT_EQ(Slurp(dir.File("empty.pli")), "");
}

TEST(PaletteFileRead, RefusesWhatItCannotOpenOrWhatIsTooLarge) {
    TTempFolder dir("palette");
    std::string text = "unchanged";
    EXPECT_EQ(ReadPaletteFile(dir.File("missing.pli"), text), TPaletteReadResult::CannotOpen);

    WriteTextFile(dir.File("big.pli"), std::string(pelmira::kMaxPaletteFileSize + 1, 'x'));
    EXPECT_EQ(ReadPaletteFile(dir.File("big.pli"), text), TPaletteReadResult::TooLarge);
    WriteTextFile(dir.File("limit.pli"), std::string(pelmira::kMaxPaletteFileSize, '\n'));
    EXPECT_EQ(ReadPaletteFile(dir.File("limit.pli"), text), TPaletteReadResult::Ok);
    EXPECT_EQ(text.size(), pelmira::kMaxPaletteFileSize);

    // Held open without sharing by someone else (the controller writing it, another dialog).
    HANDLE held = ::CreateFileA(dir.File("limit.pli").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    text = "unchanged";
    EXPECT_EQ(ReadPaletteFile(dir.File("limit.pli"), text), TPaletteReadResult::CannotOpen);
    EXPECT_EQ(text, "unchanged");
    ::CloseHandle(held);
}

TEST(PaletteFileWrite, WritesExactlyTheTextAndLeavesNoTemporaryFile) {
    TTempFolder dir("palette");
    const std::string path = dir.File("mine.pli");
    WriteTextFile(path, std::string(500, 'o'));  // a longer old palette is replaced, not overlaid
    ASSERT_TRUE(WritePaletteFile(path, "0=1,2,3\r\n"));
    EXPECT_EQ(Slurp(path), "0=1,2,3\r\n");
    EXPECT_EQ(dir.FileCount(), 1);
}

TEST(PaletteFileWrite, AFailedSaveReportsFailureAndKeepsTheOldPalette) {
    TTempFolder dir("palette");
    const std::string path = dir.File("kept.pli");
    WriteTextFile(path, "old");
    // Held open without sharing: the replace cannot happen.
    HANDLE held = ::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(WritePaletteFile(path, "new"));
    ::CloseHandle(held);
    EXPECT_EQ(Slurp(path), "old");
    EXPECT_EQ(dir.FileCount(), 1);  // the temporary file is gone

    EXPECT_FALSE(WritePaletteFile(dir.File("no such folder\\x.pli"), "new"));
}

TEST(DialogSettingsFiles, WithoutFilesEveryDefaultApplies) {
    TTempFolder dir("palette");
    const TDialogSettings s = ReadDialogSettings(dir.File("noForm.ini"), dir.File("noLang.ini"));
    const char* captions[4] = {"o", "s", "+", "v"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(s.Buttons[i].X, 30 * i);
        EXPECT_EQ(s.Buttons[i].Y, 0);
        EXPECT_EQ(s.Buttons[i].Width, 30);
        EXPECT_EQ(s.Buttons[i].Height, 14);
        EXPECT_EQ(s.Buttons[i].Caption, captions[i]);
        EXPECT_EQ(s.TipTexts[i], ".");
        EXPECT_EQ(s.TipStatus[i], ".");
    }
    EXPECT_EQ(s.HookSize, 10);
    EXPECT_EQ(s.Messages[0], "");
    EXPECT_EQ(s.Messages[1], "");
    EXPECT_FALSE(s.SaveFailed.empty());
    EXPECT_FALSE(s.HookFont.Enabled);
    EXPECT_EQ(s.TipFont.Size, 12);
    EXPECT_EQ(s.PaletteFilter, std::string("pli (*.pli)\0*.pli\0ALL (*.*)\0*.*\0\0", 33));
}

TEST(DialogSettingsFiles, ValuesComeFromTheLayoutAndLanguageFiles) {
    TTempFolder dir("palette");
    const std::string base = dir.File("Vorlund");
    EXPECT_EQ(LayoutFileName(base), base + "Form.ini");
    EXPECT_EQ(LanguageFileName(base), base + "Lang.ini");
    WriteTextFile(LayoutFileName(base), "[Spuit]\r\nx=5\r\nw=-3\r\n[HookSize]\r\nh=22\r\n");
    WriteTextFile(LanguageFileName(base),
            "[Button_hook]\r\nRead=L\r\n[TipHelp_hook]\r\n2=pick\r\n[Message_hook]\r\n1=outside\r\n"
            "[FileFilter_hook]\r\n0=Palettes|*.pli\r\n1=All|*.*\r\n3=skipped\r\n"
            "[TipFont]\r\nEnable=1\r\nName=Tahoma\r\nSize=9\r\n");
    const TDialogSettings s = ReadDialogSettings(LayoutFileName(base), LanguageFileName(base));
    EXPECT_EQ(s.Buttons[kSpuitButton].X, 5);
    EXPECT_EQ(s.Buttons[kSpuitButton].Width, -3);
    EXPECT_EQ(s.Buttons[kReadButton].Caption, "L");
    EXPECT_EQ(s.TipTexts[kSpuitButton], "pick (Alt+P)");  // the tip names the button's key
    EXPECT_EQ(s.Messages[1], "outside");
    EXPECT_EQ(s.HookSize, 22);
    EXPECT_TRUE(s.TipFont.Enabled);
    EXPECT_EQ(s.TipFont.Name, "Tahoma");
    EXPECT_EQ(s.TipFont.Size, 9);
    // Reading stops at the first missing key (2), so key 3 is never used.
    EXPECT_EQ(s.PaletteFilter, std::string("Palettes\0*.pli\0All\0*.*\0\0", 24));
}

TEST(DialogSettingsFiles, EachButtonHasAnAltKeyNamedInItsTip) {
    TTempFolder dir("palette");
    const std::string base = dir.File("Vorlund");
    WriteTextFile(LanguageFileName(base), "[TipHelp_hook]\r\n0=load\r\n1=save\r\n3=set\r\n"
                                    "[Key_hook]\r\nRead=l\r\nWrite=.\r\nsetColor=+\r\n");
    const TDialogSettings s = ReadDialogSettings(LayoutFileName(base), LanguageFileName(base));
    EXPECT_EQ(s.Keys[kReadButton], 'L');  // a lower-case letter is its key's letter
    EXPECT_EQ(s.TipTexts[kReadButton], "load (Alt+L)");
    EXPECT_EQ(s.Keys[kWriteButton], 0);   // "." switches the key off
    EXPECT_EQ(s.TipTexts[kWriteButton], "save");
    EXPECT_EQ(s.Keys[kSpuitButton], 'P');  // the default; a tip that is off stays "."
    EXPECT_EQ(s.TipTexts[kSpuitButton], ".");
    EXPECT_EQ(s.Keys[kSetColorButton], 0);  // no key for a character without a key code
    EXPECT_EQ(s.TipTexts[kSetColorButton], "set");

    const TDialogSettings defaults = ReadDialogSettings(dir.File("noForm.ini"), dir.File("noLang.ini"));
    EXPECT_EQ(std::string(defaults.Keys.begin(), defaults.Keys.end()), "FWPV");
}

TEST(DialogSettingsFiles, ASectionReadOnceAnswersWhatTheProfileReadersAnswerKeyByKey) {
    TTempFolder dir("palette");
    const std::string file = dir.File("odd.ini");
    const std::string longValue(140, 'z');
    // Blanks, quotes, case, repeated keys and sections, long values and numbers in every shape
    // the integer reader takes or stops at.
    WriteTextFile(file, "[Other]\r\na=other\r\n"
                        "[Odd]\r\n  Spaced  =  padded value  \r\nquoted=\"in quotes\"\r\nsingle='x'\r\n"
                        "half=\"open\r\nempty=\r\nemptyQuotes=\"\"\r\nnoEquals\r\nCASE=upper\r\ncase=lower\r\n"
                        "long=" + longValue + "\r\nlongQuoted=\"" + std::string(127, 'q') + "\"\r\n"
                        "edgeQuoted=\"" + std::string(126, 'e') + "\"\r\n"
                        "n1=42\r\nn2=-7\r\nn3=+8x\r\nn4=0x1F\r\nn5=0b101\r\nn6=0o17\r\nn7=abc\r\n"
                        "n8=99999999999\r\nn9=\"12\"\r\nn10= \t 5\r\n; a comment\r\n"
                        "[odd]\r\nlater=second section\r\n");
    const TIniSection section(file, "ODD");
    const char* keys[] = {"Spaced", "quoted", "single", "half", "empty", "emptyQuotes", "noEquals", "case",
                          "long", "longQuoted", "edgeQuoted", "n1", "n2", "n3", "n4", "n5", "n6", "n7",
                          "n8", "n9", "n10", "later", "missing", "; a comment", "a"};
    for (const char* key : keys) {
        EXPECT_EQ(section.String(key, "<default>"), ReadIniString(file, "Odd", key, "<default>")) << key;
        EXPECT_EQ(section.Int(key, -99), ReadIniInt(file, "Odd", key, -99)) << key;
    }
    const TIniSection absent(dir.File("none.ini"), "Odd");
    EXPECT_EQ(absent.String("quoted", "d"), "d");
    EXPECT_EQ(absent.Int("n1", 3), 3);
}

TEST(DialogSettingsFiles, ASectionOfManyKeysInAnyOrderFindsEveryKeyAsTheProfileReadersDo) {
    TTempFolder dir("palette");
    const std::string file = dir.File("many.ini");
    // Sixty keys in a shuffled order, a repeat in another case far from its first, and keys
    // whose order differs with and without case ('_' sorts after 'Z' but before 'a').
    std::string text = "[Many]\r\n";
    std::vector<std::string> keys;
    for (int i = 0; i < 60; ++i) {
        const int n = (i * 37) % 60;
        keys.push_back("key_" + std::to_string(n) + (n % 3 != 0 ? "b" : "B"));
        text += keys.back() + "=" + std::to_string(i) + "\r\n";
    }
    text += "KEY_7B=repeat\r\nzz=last\r\n_under=u\r\nZ_=z\r\nZa=za\r\nkey_=bare\r\n";
    WriteTextFile(file, text);
    for (const char* extra : {"KEY_7B", "key_7b", "zz", "ZZ", "_under", "Z_", "z_", "Za", "key_", "key", "key_60b"}) {
        keys.emplace_back(extra);
    }
    const TIniSection section(file, "Many");
    for (const std::string& key : keys) {
        EXPECT_EQ(section.String(key, "<default>"), ReadIniString(file, "Many", key, "<default>")) << key;
        EXPECT_EQ(section.Int(key, -99), ReadIniInt(file, "Many", key, -99)) << key;
    }
}

TEST(ButtonFontSharing, OneBuiltFontDrawsAsAButtonsOwnAndOutlivesEveryPaint) {
    const TFontSetting setting{true, "Tahoma", 9};
    HDC screen = ::GetDC(nullptr);
    ASSERT_NE(screen, nullptr);
    // What a button's own font, named by the setting, selects on a screen context.
    TAPIGFont own;
    own.FaceName = setting.Name;
    own.Size = setting.Size;
    own.Bold = false;
    own.SelectInto(screen);
    LOGFONTA expected{};
    ASSERT_NE(::GetObjectA(own.Font, sizeof expected, &expected), 0);
    own.DeselectFrom(screen);

    HFONT builtFont = nullptr;
    {
        auto first = std::make_unique<TSharedDrawingFont>(BuildButtonFont(setting));
        auto second = std::make_unique<TSharedDrawingFont>(first->Built());
        builtFont = first->Built()->Font;
        ASSERT_NE(builtFont, nullptr);
        LOGFONTA built{};
        ASSERT_NE(::GetObjectA(builtFont, sizeof built, &built), 0);
        EXPECT_STREQ(built.lfFaceName, expected.lfFaceName);
        EXPECT_EQ(built.lfHeight, expected.lfHeight);
        EXPECT_EQ(built.lfWeight, expected.lfWeight);
        EXPECT_EQ(built.lfItalic, expected.lfItalic);
        EXPECT_EQ(built.lfCharSet, expected.lfCharSet);

        const HGDIOBJ before = ::GetCurrentObject(screen, OBJ_FONT);
        for (int paint = 0; paint < 3; ++paint) {
            for (TSharedDrawingFont* font : {first.get(), second.get()}) {
                font->SelectInto(screen);
                EXPECT_EQ(::GetCurrentObject(screen, OBJ_FONT), builtFont);
                font->DeselectFrom(screen);
                EXPECT_EQ(::GetCurrentObject(screen, OBJ_FONT), before);
            }
        }
        EXPECT_EQ(::GetObjectType(builtFont), static_cast<DWORD>(OBJ_FONT)) << "a paint deleted the shared font";
        first.reset();
        EXPECT_EQ(::GetObjectType(builtFont), static_cast<DWORD>(OBJ_FONT)) << "one button's end deleted it";
    }
    EXPECT_EQ(::GetObjectType(builtFont), 0u) << "the last button's end leaves the font behind";
    ::ReleaseDC(nullptr, screen);
}

TEST(CellGeometryMath, WineDialogGridsGiveTheseProbePoints) {
    // Wine's dialog without CC_FULLOPEN: 720 at (10, 45) 245 x 140, 721 at (10, 211) 245 x 46.
    const RECT dialog{100, 50, 372, 376};
    const TGridGeometry custom = MeasureGrid(RECT{110, 261, 355, 307}, dialog, kCustomRows);
    EXPECT_EQ(custom.OffsetX, 10);
    EXPECT_EQ(custom.OffsetY, 211);
    EXPECT_EQ(custom.CellWidth, 30);
    EXPECT_EQ(custom.CellHeight, 23);
    EXPECT_EQ(custom.InsetX, 10);
    EXPECT_EQ(custom.InsetY, 11);
    // The dialog moved since: the point follows it.
    const POINT p = CellPoint(custom, RECT{0, 0, 272, 326}, 7, 1);
    EXPECT_EQ(p.x, 10 + 7 * 30 + 10);
    EXPECT_EQ(p.y, 211 + 23 + 11);
    const TGridGeometry basic = MeasureGrid(RECT{110, 95, 355, 235}, dialog, kBasicRows);
    EXPECT_EQ(basic.CellHeight, 23);
    EXPECT_EQ(basic.InsetY, 11);
}

TEST(CellGeometryMath, EntriesAreTypedSoThatEntryKLandsInCellK) {
    // With the first cell selected: entry c, then entry c + 8.
    const std::array<int, 16> plain = PaletteApplyOrder(0);
    EXPECT_EQ(plain, kAddFillOrder);
    // An add button that keeps its own counter fills from wherever it stands.
    for (int slot = 0; slot < 16; ++slot) {
        const std::array<int, 16> order = PaletteApplyOrder(slot);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(order[i], kAddFillOrder[(slot + i) % 16]);
    }
    EXPECT_EQ(PaletteApplyOrder(17), PaletteApplyOrder(1));
}

TEST(CellGeometryMath, APointFindsTheCellUnderItAndNothingOutsideTheGrid) {
    const RECT dialog{100, 50, 372, 376};
    const TGridGeometry custom = MeasureGrid(RECT{110, 261, 355, 307}, dialog, kCustomRows);
    // Every cell's own probe point finds that cell, also after the dialog moved.
    const RECT moved{300, 10, 572, 336};
    for (int cell = 0; cell < 16; ++cell)
        EXPECT_EQ(CellAt(custom, moved, kCustomRows, CellPoint(custom, moved, cell % 8, cell / 8)), cell);
    // Edges: the first pixel belongs to the cell, the grid's last column/row ends it.
    EXPECT_EQ(CellAt(custom, dialog, kCustomRows, POINT{110, 261}), 0);
    EXPECT_EQ(CellAt(custom, dialog, kCustomRows, POINT{109, 261}), -1);
    EXPECT_EQ(CellAt(custom, dialog, kCustomRows, POINT{110, 260}), -1);
    EXPECT_EQ(CellAt(custom, dialog, kCustomRows, POINT{110 + 8 * 30, 270}), -1);
    EXPECT_EQ(CellAt(custom, dialog, kCustomRows, POINT{120, 261 + 2 * 23}), -1);
    // A grid never measured (no custom grid found) has no cells.
    EXPECT_EQ(CellAt(TGridGeometry{}, dialog, kCustomRows, POINT{110, 261}), -1);
}
