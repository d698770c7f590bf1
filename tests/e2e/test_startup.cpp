// The controller's start-up and shutdown, end to end: the real vorlund.exe in a folder of its
// own, driven and watched from this test program.
#include <gtest/gtest.h>

#include <string>

#include "ControllerHarness.h"
#include "TakenOverMarks.h"

using namespace harness;

namespace {

const char* const kProblemText = "Program cannot be started,\r\nProblem is in Skerrow.dll.";

class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        // Another controller left over would be taken for the running instance.
        ASSERT_TRUE(WaitFor([] { return TopWindows(0, "Pelmira").empty(); }, 10000))
            << "a controller window of another test is still open";
    }
};

std::string Rect(HWND w) {
    RECT r{};
    ::GetWindowRect(w, &r);
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

}  // namespace

TEST_F(StartUp, WithoutTheLibraryItSaysSoAndEndsWithZero) {
    TTempFolder folder("nolib");
    ASSERT_TRUE(InstallController(folder, ""));
    TControllerProcess p;
    ASSERT_TRUE(p.Start(folder));

    const HWND box = WaitForMessageBox(p);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "oops!!");
    EXPECT_EQ(MessageBoxText(box), kProblemText);
    EXPECT_EQ(::GetWindow(box, GW_OWNER), nullptr);
    EXPECT_TRUE(TopWindows(p.Id, "Pelmira").empty());

    PressOk(box);
    EXPECT_EQ(p.WaitExit(), 0);
}

TEST_F(StartUp, ALibraryThatFailsTheBindingEndsSilentlyWithZero) {
    for (const char* fake : {"fake_skerrow_without_ontop.dll", "fake_skerrow_without_section.dll"}) {
        SCOPED_TRACE(fake);
        TTempFolder folder("fake");
        ASSERT_TRUE(InstallController(folder, fake));
        TControllerProcess p;
        ASSERT_TRUE(p.Start(folder));

        // A library without its block has recorded the failure; the controller tells the user
        // (the library itself stays silent in every program it enters) and ends.
        if (std::string(fake) == "fake_skerrow_without_section.dll") {
            const HWND box = WaitForMessageBox(p);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(TextOf(box), "Pelmira");
            EXPECT_EQ(MessageBoxText(box), "CreateFileMapping error..");
            PressOk(box);
            EXPECT_TRUE(WaitFor([box] { return !::IsWindow(box); }));
        }
        bool sawWindow = false;
        ASSERT_TRUE(WaitFor([&] {
            for (HWND w : TopWindows(p.Id))
                if (::IsWindowVisible(w)) sawWindow = true;
            return !p.Running();
        }));
        EXPECT_FALSE(sawWindow);
        EXPECT_EQ(p.WaitExit(), 0);
        EXPECT_FALSE(FileExists(folder.File("vorlund.ini")));
    }
}

TEST_F(StartUp, WithoutIniFilesItRunsOnDefaultsInstallsTheHookAndSavesThem) {
    TTempFolder folder("defaults");
    ASSERT_TRUE(InstallController(folder));
    TControllerProcess p;
    ASSERT_TRUE(p.Start(folder));
    const HWND w = WaitForMainWindow(p);
    ASSERT_NE(w, nullptr);

    EXPECT_EQ(TextOf(w), "Pelmira");
    const LONG style = ::GetWindowLongA(w, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    EXPECT_TRUE(::IsWindowVisible(w));
    EXPECT_FALSE(::IsIconic(w));

    // Centred on the screen (X = -1).
    RECT r{};
    ::GetWindowRect(w, &r);
    const int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = ::GetSystemMetrics(SM_CYSCREEN);
    EXPECT_NEAR(r.left, (screenWidth - (r.right - r.left)) / 2, 1);
    EXPECT_NEAR(r.top, (screenHeight - (r.bottom - r.top)) / 2, 1);

    // The Suspend command ran once at creation and installed the hook for this window.
    TSharedBlock block{};
    ASSERT_TRUE(ReadSharedBlock(block));
    EXPECT_EQ(BlockHandle<HWND>(block.OwnerWindow), w);
    EXPECT_NE(block.HookHandle, 0u);
    EXPECT_EQ(lstrcmpiA(std::string(block.SettingsBase).c_str(), folder.File("vorlund").c_str()), 0);
    EXPECT_EQ(block.Dialog, 0);
    EXPECT_EQ(block.WebSafe, 0);

    EXPECT_EQ(CloseController(p, w), 0);

    const std::string ini = folder.File("vorlund.ini");
    ASSERT_TRUE(FileExists(ini));
    EXPECT_EQ(IniKeys(ini, "Pelmira"), (std::vector<std::string>{"X", "Y", "Extension", "Suspend", "Show", "OnTop",
                                                                 "LeftClick", "Tray", "Dialog", "WebSafe"}));
    EXPECT_EQ(IniString(ini, "Pelmira", "X"), std::to_string(r.left));
    EXPECT_EQ(IniString(ini, "Pelmira", "Y"), std::to_string(r.top));
    for (const char* zero : {"Extension", "Suspend", "OnTop", "Tray", "Dialog", "WebSafe"})
        EXPECT_EQ(IniString(ini, "Pelmira", zero), "0") << zero;
    EXPECT_EQ(IniString(ini, "Pelmira", "Show"), "1");
    EXPECT_EQ(IniString(ini, "Pelmira", "LeftClick"), "1");
    EXPECT_EQ(IniKeys(ini, "List"), (std::vector<std::string>{"Name", "Date", "Select"}));
    EXPECT_EQ(IniString(ini, "List", "Name"), "100");
    EXPECT_EQ(IniString(ini, "List", "Date"), "200");
    EXPECT_EQ(IniString(ini, "List", "Select"), "0");
    EXPECT_EQ(IniKeys(ini, "Folder"), (std::vector<std::string>{"Enable", "Select", "Count"}));
    EXPECT_EQ(IniString(ini, "Folder", "Enable"), "0");
    EXPECT_EQ(IniString(ini, "Folder", "Count"), "0");
}

TEST_F(StartUp, SavedOptionsAreAppliedAndWrittenBackWithTheFolderSectionRebuilt) {
    TTempFolder folder("options");
    ASSERT_TRUE(InstallController(folder));
    const std::string ini = folder.File("vorlund.ini");
    ASSERT_TRUE(WriteTextFile(ini,
                              "[Pelmira]\r\nX=5000\r\nY=-40\r\nSuspend=1\r\nDIALOG=1\r\nWebSafe=1\r\nLeftClick=9\r\n"
                              "Extension=1\r\nOnTop=1\r\n"
                              "[List]\r\nName=150\r\nDate=90\r\nSelect=3\r\n"
                              "[Folder]\r\nEnable=1\r\nCount=2\r\n1=C:\\pal\\one\r\n2=C:\\pal\\two\r\nSelect=1\r\n"
                              "7=C:\\stale\r\n"));
    TControllerProcess p;
    ASSERT_TRUE(p.Start(folder));
    const HWND w = WaitForMainWindow(p);
    ASSERT_NE(w, nullptr);

    // X beyond the screen: the client area ends at the right edge; a negative Y becomes 0.
    RECT window{}, client{};
    ::GetWindowRect(w, &window);
    ::GetClientRect(w, &client);
    EXPECT_EQ(window.left, ::GetSystemMetrics(SM_CXSCREEN) - client.right);
    EXPECT_EQ(window.top, 0);

    // The extended view is open (its client height) and the window is always on top.
    EXPECT_EQ(client.bottom, 294);
    EXPECT_NE(::GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOPMOST, 0);

    // Saved as suspended: the hook was not installed for this window; the dialog flags were
    // published all the same.
    TSharedBlock block{};
    ASSERT_TRUE(WaitFor([&] { return ReadSharedBlock(block) && block.Dialog == 1 && block.WebSafe == 1; }));
    EXPECT_EQ(block.OnTop, 1);
    EXPECT_NE(BlockHandle<HWND>(block.OwnerWindow), w);

    EXPECT_EQ(CloseController(p, w), 0);

    EXPECT_EQ(IniString(ini, "Pelmira", "X"), std::to_string(window.left));
    EXPECT_EQ(IniString(ini, "Pelmira", "Y"), "0");
    EXPECT_EQ(IniString(ini, "Pelmira", "Suspend"), "1");
    EXPECT_EQ(IniString(ini, "Pelmira", "Dialog"), "1");
    EXPECT_EQ(IniString(ini, "Pelmira", "WebSafe"), "1");
    EXPECT_EQ(IniString(ini, "Pelmira", "LeftClick"), "1");
    EXPECT_EQ(IniString(ini, "Pelmira", "Extension"), "1");
    EXPECT_EQ(IniString(ini, "Pelmira", "OnTop"), "1");
    EXPECT_EQ(IniString(ini, "List", "Name"), "150");
    EXPECT_EQ(IniString(ini, "List", "Date"), "90");
    EXPECT_EQ(IniKeys(ini, "Folder"), (std::vector<std::string>{"Enable", "Select", "Count", "1", "2"}));
    EXPECT_EQ(IniString(ini, "Folder", "Enable"), "1");
    EXPECT_EQ(IniString(ini, "Folder", "Select"), "1");
    EXPECT_EQ(IniString(ini, "Folder", "Count"), "2");
    EXPECT_EQ(IniString(ini, "Folder", "1"), "C:\\pal\\one");
    EXPECT_EQ(IniString(ini, "Folder", "2"), "C:\\pal\\two");
}

TEST_F(StartUp, StartedMinimisedWithoutActivationItStaysMinimisedAndSavesShowZero) {
    TTempFolder folder("minimised");
    ASSERT_TRUE(InstallController(folder));
    TControllerProcess p;
    ASSERT_TRUE(p.Start(folder, SW_SHOWMINNOACTIVE));
    const HWND w = WaitForMainWindow(p);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(WaitFor([&] { return ::IsIconic(w) != FALSE; }));

    EXPECT_EQ(CloseController(p, w), 0);
    EXPECT_EQ(IniString(folder.File("vorlund.ini"), "Pelmira", "Show"), "0");
}

TEST_F(StartUp, ASecondInstanceSaysSoToTheFirstAndLeavesIt) {
    TTempFolder first("first");
    ASSERT_TRUE(InstallController(first));
    ASSERT_TRUE(WriteTextFile(first.File("vorlundLang.ini"), "[MessageBox]\r\n0=Pelmira runs already.\r\n"));
    TControllerProcess one;
    ASSERT_TRUE(one.Start(first));
    const HWND w = WaitForMainWindow(one);
    ASSERT_NE(w, nullptr);
    const std::string rectBefore = Rect(w);

    // From the same folder: the text is [MessageBox] 0 of its language file; from a folder without
    // a language file it is "oops!!".
    TTempFolder other("second");
    ASSERT_TRUE(InstallController(other));
    for (const TTempFolder* folder : {&first, &other}) {
        TControllerProcess two;
        ASSERT_TRUE(two.Start(*folder));
        const HWND box = WaitForMessageBox(two);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(::GetWindow(box, GW_OWNER), w);
        EXPECT_EQ(TextOf(box), "Pelmira");
        EXPECT_EQ(MessageBoxText(box), folder == &first ? "Pelmira runs already." : "oops!!");
        EXPECT_TRUE(TopWindows(two.Id, "Pelmira").empty());

        PressOk(box);
        EXPECT_EQ(two.WaitExit(), 0);
        EXPECT_FALSE(FileExists(other.File("vorlund.ini")));
    }

    EXPECT_TRUE(one.Running());
    EXPECT_TRUE(::IsWindow(w));
    EXPECT_TRUE(WaitFor([&] { return ::IsWindowEnabled(w) != FALSE; }));
    EXPECT_TRUE(::IsWindowVisible(w));
    EXPECT_EQ(Rect(w), rectBefore);
    EXPECT_EQ(TextOf(w), "Pelmira");
    EXPECT_EQ(CloseController(one, w), 0);
}

TEST_F(StartUp, AnotherTitleMakesAnotherInstanceThatReadsItsOwnSection) {
    TTempFolder plain("plain");
    TTempFolder titled("titled");
    TTempFolder longTitled("long");
    const std::string longTitle(200, 'T');
    ASSERT_TRUE(InstallController(plain));
    ASSERT_TRUE(InstallController(titled));
    ASSERT_TRUE(InstallController(longTitled));
    ASSERT_TRUE(WriteTextFile(titled.File("vorlundLang.ini"), "[Other]\r\ntitle=Farben\r\n"));
    ASSERT_TRUE(WriteTextFile(titled.File("vorlund.ini"), "[Farben]\r\nX=100\r\nY=120\r\n[Pelmira]\r\nX=300\r\n"));
    ASSERT_TRUE(WriteTextFile(longTitled.File("vorlundLang.ini"), "[Other]\r\ntitle=" + longTitle + "\r\n"));

    TControllerProcess a, b, c;
    ASSERT_TRUE(a.Start(plain));
    const HWND wa = WaitForMainWindow(a);
    ASSERT_NE(wa, nullptr);
    ASSERT_TRUE(b.Start(titled));
    const HWND wb = WaitForMainWindow(b, "Farben");
    ASSERT_NE(wb, nullptr);
    // The title is cut to 127 characters, class name and caption alike.
    ASSERT_TRUE(c.Start(longTitled));
    const HWND wc = WaitForMainWindow(c, longTitle.substr(0, 127));
    ASSERT_NE(wc, nullptr);
    EXPECT_EQ(TextOf(wc), longTitle.substr(0, 127));

    EXPECT_TRUE(a.Running());
    EXPECT_EQ(TextOf(wb), "Farben");
    RECT r{};
    ::GetWindowRect(wb, &r);
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 120);

    EXPECT_EQ(CloseController(c, wc), 0);
    EXPECT_EQ(CloseController(b, wb), 0);
    EXPECT_EQ(CloseController(a, wa), 0);

    // Read from [Farben], written to [Pelmira].
    EXPECT_EQ(IniString(titled.File("vorlund.ini"), "Pelmira", "X"), "100");
    EXPECT_EQ(IniString(titled.File("vorlund.ini"), "Farben", "X"), "100");
    EXPECT_EQ(IniString(titled.File("vorlund.ini"), "Pelmira", "Y"), "120");
}

TEST_F(StartUp, ADottedFolderShortensTheBaseOfAllThreeIniFiles) {
    TTempFolder parent("dotted");
    const std::string folder = parent.File("app.dir");
    ASSERT_TRUE(::CreateDirectoryA(folder.c_str(), nullptr));
    ASSERT_TRUE(InstallController(folder));
    // The base ends before the first dot of the whole path: <parent>\app.
    ASSERT_TRUE(WriteTextFile(parent.File("appLang.ini"), "[Other]\r\ntitle=Dotted\r\n"));
    ASSERT_TRUE(WriteTextFile(parent.File("app.ini"), "[Dotted]\r\nX=40\r\nY=50\r\n"));

    TControllerProcess p;
    ASSERT_TRUE(p.Start(folder));
    const HWND w = WaitForMainWindow(p, "Dotted");
    ASSERT_NE(w, nullptr);
    RECT r{};
    ::GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 40);
    EXPECT_EQ(r.top, 50);
    TSharedBlock block{};
    ASSERT_TRUE(ReadSharedBlock(block));
    EXPECT_EQ(lstrcmpiA(std::string(block.SettingsBase).c_str(), parent.File("app").c_str()), 0);

    EXPECT_EQ(CloseController(p, w), 0);
    EXPECT_EQ(IniString(parent.File("app.ini"), "Pelmira", "X"), "40");
    EXPECT_FALSE(FileExists(folder + "\\vorlund.ini"));
}

TEST_F(StartUp, StartedMinimisedWithTheTrayIconOnItStartsHiddenWhateverShowSays) {
    TTempFolder folder("tray");
    ASSERT_TRUE(InstallController(folder));
    ASSERT_TRUE(WriteTextFile(folder.File("vorlund.ini"), "[Pelmira]\r\nShow=1\r\nTray=1\r\n"));
    TControllerProcess p;
    ASSERT_TRUE(p.Start(folder, SW_SHOWMINNOACTIVE));
    const HWND w = WaitForMainWindow(p, "Pelmira", false);
    ASSERT_NE(w, nullptr);
    // Up once the hook is installed for it and the message loop answers.
    TSharedBlock block{};
    ASSERT_TRUE(WaitFor([&] { return ReadSharedBlock(block) && BlockHandle<HWND>(block.OwnerWindow) == w; }));
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &answer);

    EXPECT_FALSE(::IsWindowVisible(w));
    EXPECT_EQ(CloseController(p, w), 0);
    EXPECT_EQ(IniString(folder.File("vorlund.ini"), "Pelmira", "Tray"), "1");
    EXPECT_EQ(IniString(folder.File("vorlund.ini"), "Pelmira", "Show"), "0");
}

TEST_F(StartUp, ALongFolderComesBackWholeAndAMissingCommandLinePathAddsNoFolder) {
    TTempFolder folder("longfolder");
    ASSERT_TRUE(InstallController(folder));
    const std::string ini = folder.File("vorlund.ini");
    const std::string longFolder = "C:\\" + std::string(90, 'p') + "\\" + std::string(90, 'q');
    ASSERT_TRUE(WriteTextFile(ini, "[Folder]\r\nEnable=1\r\nCount=1\r\n1=" + longFolder + "\r\nSelect=0\r\n"));
    TControllerProcess p;
    ASSERT_TRUE(p.Start(folder, -1, "nowhere\\x.pli"));
    const HWND w = WaitForMainWindow(p);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(CloseController(p, w), 0);
    EXPECT_EQ(IniString(ini, "Folder", "Count"), "1");
    EXPECT_EQ(IniString(ini, "Folder", "1"), longFolder);
}

TEST_F(StartUp, WithAColourDialogOpenTheStartAsksItsQuestionInTheLanguageFilesWords) {
    TTempFolder folder("busystart");
    ASSERT_TRUE(InstallController(folder));
    ::CopyFileA((TestFolder() + "\\vorlundLang.ini").c_str(), folder.File("vorlundLang.ini").c_str(), FALSE);
    // The block says a dialog is taken over somewhere: held by this process's copy of the library.
    HMODULE library = ::LoadLibraryA((folder.Path + "\\skerrow.dll").c_str());
    ASSERT_NE(library, nullptr);
    const auto setCount = [](std::uint8_t count) {
        HANDLE section = ::OpenFileMappingA(FILE_MAP_WRITE, FALSE, kSectionName);
        auto* block = section != nullptr ? static_cast<TSharedBlock*>(::MapViewOfFile(section, FILE_MAP_WRITE, 0, 0, 0))
                                         : nullptr;
        if (block != nullptr) block->DialogCount = count;
        if (block != nullptr) ::UnmapViewOfFile(block);
        if (section != nullptr) ::CloseHandle(section);
        return block != nullptr;
    };
    const TTakenOverMarks elsewhere(1);
    ASSERT_TRUE(setCount(1));
    TControllerProcess p;
    ASSERT_TRUE(p.Start(folder));
    HWND box = WaitForMessageBox(p);
    ASSERT_NE(box, nullptr);
    const std::string text = MessageBoxText(box);
    EXPECT_EQ(text.find("index error"), std::string::npos) << text;
    EXPECT_EQ(text.rfind(IniString(folder.File("vorlundLang.ini"), "MessageBox", "6"), 0), 0u) << text;
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
    setCount(0);
    const HWND w = WaitForMainWindow(p);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(CloseController(p, w), 0);
    ::FreeLibrary(library);
}
