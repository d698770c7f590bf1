// The controller's settings: the text list, the options table, layout and fonts, saving.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ControllerState.h"
#include "Feedback.h"
#include "MainWindow.h"
#include "MemoryIni.h"
#include "Settings.h"
#include "Startup.h"
#include "TestFiles.h"
#include "UtilFunc.h"

namespace {

std::vector<std::string> Entries(const TStringArray& list, int from, int to) {
    std::vector<std::string> out;
    for (int i = from; i < to; ++i) out.push_back(list.Get(i));
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// [MessageBox]: messages separated by empty keys, ended by "."
// ---------------------------------------------------------------------------------------------

TEST(MessageBoxTexts, EmptyKeysCloseMessagesAndADotAfterOneEndsTheList) {
    TMemoryIni lang;
    lang.Set("MessageBox", "0", "Alpha").Set("MessageBox", "1", "Beta").Set("MessageBox", "3", "Gamma")
        .Set("MessageBox", "5", ".").Set("MessageBox", "7", "Never read");
    EXPECT_EQ(ReadMessageBoxTexts(lang), (std::vector<std::string>{"Alpha\r\nBeta", "Gamma"}));

    TStringArray list;
    const TTextBases bases = BuildTextList(lang, list);
    EXPECT_EQ(bases.MessageBase, 30);
    EXPECT_EQ(list.Get(bases.MessageBase), "Alpha\r\nBeta");
    EXPECT_EQ(list.Get(bases.MessageBase + 1), "Gamma");
    EXPECT_EQ(bases.ShowHideBase, 32);
}

TEST(MessageBoxTexts, ADotInsideAMessageStaysAndTheLoopRunsToKey99) {
    TMemoryIni lang;
    lang.Set("MessageBox", "0", "Alpha").Set("MessageBox", "1", ".");
    const auto messages = ReadMessageBoxTexts(lang);
    // Keys 2 to 99 are empty: each closes one message, the first of them "Alpha" + "." .
    ASSERT_EQ(messages.size(), 98u);
    EXPECT_EQ(messages[0], "Alpha\r\n.");
    EXPECT_EQ(messages[1], "");
    EXPECT_EQ(messages[97], "");
}

TEST(MessageBoxTexts, NothingWithoutKeyZeroOrWithADotThere) {
    TMemoryIni lang;
    lang.Set("MessageBox", "1", "Beta").Set("MessageBox", "2", "");
    EXPECT_TRUE(ReadMessageBoxTexts(lang).empty());

    lang.Set("MessageBox", "0", ".");
    EXPECT_TRUE(ReadMessageBoxTexts(lang).empty());
}

TEST(MessageBoxTexts, AMessageStillOpenAfterKey99IsDropped) {
    TMemoryIni lang;
    for (int i = 0; i < 100; ++i) lang.Set("MessageBox", IntToText(i), i == 50 ? "" : "x");
    const auto messages = ReadMessageBoxTexts(lang);
    ASSERT_EQ(messages.size(), 1u);  // keys 0-49 closed by key 50; 51-99 never closed
    EXPECT_EQ(messages[0].size(), 50u * 3 - 2);
}

TEST(MessageBoxTexts, DuplicateStartTextIsKeyZeroAloneOrOops) {
    TMemoryIni lang;
    EXPECT_EQ(DuplicateStartText(lang), "oops!!");
    lang.Set("MessageBox", "0", "Already running").Set("MessageBox", "1", "second line");
    EXPECT_EQ(DuplicateStartText(lang), "Already running");
}

// ---------------------------------------------------------------------------------------------
// The text list as a whole
// ---------------------------------------------------------------------------------------------

TEST(TextList, WithoutALanguageFileTipsAreOffAndMessagesFallOnShowHide) {
    TMemoryIni none;
    State.TextList = std::make_unique<TStringArray>();
    const TTextBases bases = BuildTextList(none, *State.TextList);
    State.StatusBase = bases.StatusBase;
    State.MessageBase = bases.MessageBase;
    State.ShowHideBase = bases.ShowHideBase;

    EXPECT_EQ(bases.StatusBase, 11);
    EXPECT_EQ(bases.MessageBase, 30);
    EXPECT_EQ(bases.ShowHideBase, 30);
    EXPECT_FALSE(bases.TipsActive);
    EXPECT_EQ(Entries(*State.TextList, 0, 11), std::vector<std::string>(11, "."));
    EXPECT_EQ(Entries(*State.TextList, 11, 30), std::vector<std::string>(19, ""));
    EXPECT_EQ(MessageText(0), "Show(&C)");
    EXPECT_EQ(MessageText(1), "Hide(&C)");
    EXPECT_EQ(MessageText(2), "index error");
    EXPECT_EQ(StatusText(13), "");
    State.TextList.reset();
    EXPECT_EQ(MessageText(0), "index error");
}

TEST(TextList, GroupsLandAtTheirBases) {
    TMemoryIni lang;
    lang.Set("TipHelpStatus", "0", "Ends the program").Set("TipHelpStatus", "10", "On top")
        .Set("StatusMessage", "0", "s0").Set("StatusMessage", "18", "s18")
        .Set("MessageBox", "0", "m0").Set("MessageBox", "2", "m1").Set("MessageBox", "4", ".")
        .Set("TrayMenu", "Show", "Zeigen").Set("TrayMenu", "Hide", "Verbergen");
    TStringArray list;
    const TTextBases bases = BuildTextList(lang, list);

    EXPECT_TRUE(bases.TipsActive);
    EXPECT_EQ(list.Get(0), "Ends the program");
    EXPECT_EQ(list.Get(5), ".");
    EXPECT_EQ(list.Get(10), "On top");
    EXPECT_EQ(list.Get(bases.StatusBase + 0), "s0");
    EXPECT_EQ(list.Get(bases.StatusBase + 18), "s18");
    EXPECT_EQ(list.Get(bases.MessageBase + 0), "m0");
    EXPECT_EQ(list.Get(bases.MessageBase + 1), "m1");
    EXPECT_EQ(list.Get(bases.ShowHideBase), "Zeigen");
    EXPECT_EQ(list.Get(bases.ShowHideBase + 1), "Verbergen");
    EXPECT_EQ(list.Count(), bases.ShowHideBase + 2);
}

TEST(TextList, OnlyAnExactDotSwitchesTipsOff) {
    TMemoryIni lang;
    lang.Set("TipHelpStatus", "0", "..");
    TStringArray list;
    EXPECT_TRUE(BuildTextList(lang, list).TipsActive);

    // The tip status texts may also be added first, as the tips are registered.
    TStringArray split;
    AddTipStatusTexts(lang, split);
    EXPECT_EQ(split.Count(), kTipCount);
    EXPECT_TRUE(LoadRestOfTextList(lang, split).TipsActive);
}

// ---------------------------------------------------------------------------------------------
// Options
// ---------------------------------------------------------------------------------------------

TEST(Options, DefaultsWithoutASettingsFile) {
    const TOptions o = ReadOptions(TMemoryIni(), "Pelmira");
    EXPECT_EQ(o.X, -1);
    EXPECT_EQ(o.Y, -1);
    EXPECT_EQ(o.Extension, 0);
    EXPECT_EQ(o.Suspend, 0);
    EXPECT_EQ(o.Show, 1);
    EXPECT_EQ(o.OnTop, 0);
    EXPECT_EQ(o.LeftClick, 1);
    EXPECT_EQ(o.Tray, 0);
    EXPECT_EQ(o.Dialog, 0);
    EXPECT_EQ(o.WebSafe, 0);
    EXPECT_EQ(o.ListSelect, 0);
    EXPECT_EQ(o.ListName, 100);
    EXPECT_EQ(o.ListDate, 200);
    EXPECT_EQ(o.FolderEnable, 0);
    EXPECT_EQ(o.FolderSelect, 0);
    EXPECT_TRUE(o.Folders.empty());
}

TEST(Options, TheTitleNamesTheSectionThatIsRead) {
    TMemoryIni ini;
    ini.Set("Pelmira", "X", "10").Set("Pelmira", "Suspend", "1");
    ini.Set("Farben", "X", "20").Set("Farben", "dialog", "1").Set("Farben", "WebSafe", "1");
    const TOptions o = ReadOptions(ini, "Farben");
    EXPECT_EQ(o.X, 20);
    EXPECT_EQ(o.Suspend, 0);
    EXPECT_EQ(o.Dialog, 1);
    EXPECT_EQ(o.WebSafe, 1);
}

TEST(Options, LeftClickAboveSixMeansOneAndZeroStays) {
    TMemoryIni ini;
    EXPECT_EQ(ReadOptions(ini.Set("Pelmira", "LeftClick", "7"), "Pelmira").LeftClick, 1);
    EXPECT_EQ(ReadOptions(ini.Set("Pelmira", "LeftClick", "6"), "Pelmira").LeftClick, 6);
    EXPECT_EQ(ReadOptions(ini.Set("Pelmira", "LeftClick", "0"), "Pelmira").LeftClick, 0);
}

TEST(Options, FoldersUpToCountWithAPlaceholderForMissingOnes) {
    TMemoryIni ini;
    ini.Set("Folder", "Count", "3").Set("Folder", "1", "C:\\a").Set("Folder", "3", "C:\\c")
        .Set("Folder", "4", "C:\\stale").Set("Folder", "Select", "2").Set("Folder", "Enable", "1");
    const TOptions o = ReadOptions(ini, "Pelmira");
    EXPECT_EQ(o.Folders, (std::vector<std::string>{"C:\\a", "No Data.", "C:\\c"}));
    EXPECT_EQ(o.FolderSelect, 2);
    EXPECT_EQ(o.FolderEnable, 1);

    // The selection is only read when there are folders.
    TMemoryIni empty;
    empty.Set("Folder", "Select", "5");
    EXPECT_EQ(ReadOptions(empty, "Pelmira").FolderSelect, 0);
}

TEST(SavingSettings, WritesTheSectionsInOrderAndRebuildsTheFolderSection) {
    TMemoryIni ini;
    ini.Set("Folder", "Count", "5").Set("Folder", "5", "C:\\old");
    TOptions v;
    v.X = 12;
    v.Y = 34;
    v.Suspend = 1;
    v.LeftClick = 0;
    v.Folders = {"C:\\a", "D:\\b"};
    v.FolderSelect = 1;
    WriteSettings(ini, v);

    EXPECT_EQ(ini.Log, (std::vector<std::string>{
                           "Pelmira/X=12", "Pelmira/Y=34", "Pelmira/Extension=0", "Pelmira/Suspend=1",
                           "Pelmira/Show=1", "Pelmira/OnTop=0", "Pelmira/LeftClick=0", "Pelmira/Tray=0",
                           "Pelmira/Dialog=0", "Pelmira/WebSafe=0", "List/Name=100", "List/Date=200",
                           "List/Select=0", "delete Folder", "Folder/Enable=0", "Folder/Select=1",
                           "Folder/Count=2", "Folder/1=C:\\a", "Folder/2=D:\\b"}));
    EXPECT_FALSE(ini.Has("Folder", "5"));
}

TEST(SavingSettings, AnEmptyFolderListWritesCountZeroAndNoNumberedKeys) {
    TMemoryIni ini;
    ini.Set("Folder", "1", "C:\\old");
    WriteSettings(ini, TOptions());
    EXPECT_EQ(ini.ReadString("Folder", "Count", "?"), "0");
    EXPECT_FALSE(ini.Has("Folder", "1"));
}

// The real profile functions: the same save against a file that holds stale entries.
TEST(SavingSettings, TheFileLosesStaleFolderKeysAndKeepsOtherSections) {
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "pelmira_settings_test.ini";
    ::DeleteFileA(path.c_str());
    TIniFile file(path);
    file.WriteString("Folder", "7", "C:\\stale");
    file.WriteString("Other", "keep", "yes");

    TOptions v;
    v.Folders = {"C:\\one"};
    WriteSettings(file, v);

    EXPECT_EQ(file.ReadString("Folder", "7", "gone"), "gone");
    EXPECT_EQ(file.ReadString("Folder", "1", ""), "C:\\one");
    EXPECT_EQ(file.ReadInt("Folder", "Count", -5), 1);
    EXPECT_EQ(file.ReadString("Other", "keep", ""), "yes");
    EXPECT_EQ(ReadOptions(file, "Pelmira").Folders, v.Folders);
    ::DeleteFileA(path.c_str());
}

// ---------------------------------------------------------------------------------------------
// Layout, fonts, start-up helpers
// ---------------------------------------------------------------------------------------------

TEST(Layout, PositionFromTheLayoutFileCaptionFromTheCurrentSection) {
    TMemoryIni layout, lang;
    layout.Set("Exit", "x", "200").Set("Exit", "h", "30");
    lang.Set("Button", "Exit", "Ende").Set("TrayMenu", "Exit", "wrong section");
    const TRectPlus def{234, 10, 80, 25, "E&xit"};

    const TRectPlus r = ReadLayout(layout, lang, "Button", "Exit", def);
    EXPECT_EQ(r.X, 200);
    EXPECT_EQ(r.Y, 10);
    EXPECT_EQ(r.Width, 80);
    EXPECT_EQ(r.Height, 30);
    EXPECT_EQ(r.Caption, "Ende");

    const TRectPlus d = ReadLayout(TMemoryIni(), TMemoryIni(), "Button", "Exit", def);
    EXPECT_EQ(d.X, 234);
    EXPECT_EQ(d.Caption, "E&xit");

    const TMainSize size = ReadMainSize(TMemoryIni());
    EXPECT_EQ(size.Width, 320);
    EXPECT_EQ(size.NormalHeight, 90);
    EXPECT_EQ(size.ExtendedHeight, 294);
}

TEST(StartUpReads, TheLanguageAndLayoutFilesAnswerAlikeCachedAndGoBackToTheFileAfterwards) {
    TTempFolder dir("settings");
    State.LanguageFile = dir.File("xLang.ini");
    State.LayoutFile = dir.File("xForm.ini");
    const std::string options = dir.File("x.ini");
    WriteTextFile(State.LanguageFile, "[Button]\r\nExit= \"Ende\" \r\nHelp=\r\n[Mainkey]\r\nexit=q\r\n");
    WriteTextFile(State.LayoutFile, "[Exit]\r\nx=-12\r\nh=0x10\r\n");
    WriteTextFile(options, "[Pelmira]\r\nShow=0\r\n");
    const TIniFile language(State.LanguageFile), layout(State.LayoutFile), settings(options);
    const auto readAll = [&] {
        return std::vector<std::string>{language.ReadString("Button", "Exit", "d"), language.ReadString("button", "HELP", "d"),
                                        language.ReadString("Mainkey", "Exit", "d"), language.ReadString("", "Exit", "d"),
                                        IntToText(layout.ReadInt("Exit", "x", 7)), IntToText(layout.ReadInt("Exit", "h", 7)),
                                        IntToText(layout.ReadInt("Exit", "w", 7)), IntToText(settings.ReadInt("Pelmira", "Show", 7))};
    };
    const std::vector<std::string> direct = readAll();
    {
        const TStartupIniCache cache;
        EXPECT_EQ(readAll(), direct);
        EXPECT_EQ(ReadLanguageText("Button", "Exit", "d"), direct[0]);
        // The options file is never cached: what is written is read back at once.
        WriteTextFile(options, "[Pelmira]\r\nShow=1\r\n");
        EXPECT_EQ(settings.ReadInt("Pelmira", "Show", 7), 1);
    }
    // Past the start-up every read goes to the file again.
    WriteTextFile(State.LanguageFile, "[Button]\r\nExit=Quit\r\n");
    EXPECT_EQ(language.ReadString("Button", "Exit", "d"), "Quit");
    State.LanguageFile.clear();
    State.LayoutFile.clear();
}

TEST(Fonts, OnlyAnEnabledSectionGivesAFont) {
    TMemoryIni lang;
    TReadFont font;
    lang.Set("MainFont", "Name", "Arial");
    EXPECT_FALSE(ReadFontSettings(lang, "MainFont", font));

    lang.Set("MainFont", "Enable", "1");
    ASSERT_TRUE(ReadFontSettings(lang, "MainFont", font));
    EXPECT_EQ(font.Name, "Arial");
    EXPECT_EQ(font.Size, 12);

    lang.Set("StatusFont", "Enable", "2").Set("StatusFont", "Size", "9");
    ASSERT_TRUE(ReadFontSettings(lang, "StatusFont", font));
    EXPECT_EQ(font.Name, "");
    EXPECT_EQ(font.Size, 9);
}

TEST(StartUp, ShowCommandFromTheStartStateAndTheSavedOptions) {
    // A start minimised without activation keeps the window minimised, whatever Show says.
    EXPECT_EQ(StartShowCommand(SW_SHOWMINNOACTIVE, 1, 0), SW_MINIMIZE);
    EXPECT_EQ(StartShowCommand(SW_SHOWMINNOACTIVE, 1, 1), SW_HIDE);
    EXPECT_EQ(StartShowCommand(SW_SHOWDEFAULT, 1, 1), SW_SHOWNORMAL);
    EXPECT_EQ(StartShowCommand(SW_SHOWNORMAL, 0, 0), SW_MINIMIZE);
    EXPECT_EQ(StartShowCommand(SW_SHOWNORMAL, 0, 1), SW_HIDE);
    EXPECT_EQ(StartShowCommand(SW_SHOWNORMAL, 2, 0), SW_MINIMIZE);
}

TEST(StartUp, APositionPastTheScreenEdgeEndsTheClientAreaThere) {
    EXPECT_EQ(ClampStartCoordinate(5000, 320, 1024), 705);
    EXPECT_EQ(ClampStartCoordinate(-20, 320, 1024), 0);
    EXPECT_EQ(ClampStartCoordinate(100, 320, 1024), 100);
}

TEST(Texts, AcceleratorLetterIsTheFirstCharacterOrTheBuiltInOne) {
    TMemoryIni lang;
    const TMenuKeytype& exit = kMainKeys[5];
    ASSERT_STREQ(exit.Key, "Exit");
    EXPECT_EQ(ReadAcceleratorKey(lang, exit), 'X');
    lang.Set("Mainkey", "Exit", "");
    EXPECT_EQ(ReadAcceleratorKey(lang, exit), 'X');
    lang.Set("Mainkey", "Exit", "Quit");
    EXPECT_EQ(ReadAcceleratorKey(lang, exit), 'Q');
    // Taken as a key code as it stands: a lower-case o is the keypad's divide key.
    lang.Set("Mainkey", "Exit", "o");
    EXPECT_EQ(ReadAcceleratorKey(lang, exit), VK_DIVIDE);
}
