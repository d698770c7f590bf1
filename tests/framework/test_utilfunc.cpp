// Utility functions of the controller's framework build: path pieces and the display shortener
// as plain string work, then listing, INI, shell and picker behaviour against real files,
// folders and dialogs under Wine.
#include <gtest/gtest.h>

#include "UtilFunc.h"
#include "UtilFuncTestSupport.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <utility>
#include <vector>

namespace {

using utilfunc_test::DialogDriver;

// ---------------------------------------------------------------------------------------------
// Helpers
// ---------------------------------------------------------------------------------------------

std::vector<std::string> Entries(const TStringArray& list) {
    std::vector<std::string> v;
    for (int i = 0; i < list.Count(); ++i) v.push_back(list.Get(i));
    std::sort(v.begin(), v.end());
    return v;
}

// Whether some child of the window shows the text (letter case aside): the picker's status line.
struct TextSearch {
    const std::string* text;
    bool found;
};
BOOL CALLBACK MatchChildText(HWND child, LPARAM lp) noexcept {
    auto* s = reinterpret_cast<TextSearch*>(lp);
    s->found = _stricmp(TextOf(child).c_str(), s->text->c_str()) == 0;
    return !s->found;
}
bool ChildShowsText(HWND window, const std::string& text) {
    TextSearch search{&text, false};
    ::EnumChildWindows(window, MatchChildText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// ---------------------------------------------------------------------------------------------
// Paths and names
// ---------------------------------------------------------------------------------------------

TEST(PathPieces, SplitsAFullPathAtItsLastBackslash) {
    EXPECT_EQ(FileNameOf("D:\\x\\y.pli"), "y.pli");
    EXPECT_EQ(DirectoryOf("D:\\x\\y.pli"), "D:\\x");
    EXPECT_EQ(DirectoryOf("D:\\y.pli"), "D:");
    EXPECT_EQ(FileNameOf("D:\\x\\"), "");
    EXPECT_EQ(DirectoryOf("D:\\x\\"), "D:\\x");
}

TEST(PathPieces, ABareNameHasNeitherFileNameNorFolderPart) {
    EXPECT_EQ(FileNameOf("y.pli"), "");
    EXPECT_EQ(DirectoryOf("y.pli"), "");
    EXPECT_EQ(FileNameOf(""), "");
    EXPECT_EQ(DirectoryOf(""), "");
}

TEST(PathPieces, StripFirstComponentRemovesUpToTheFirstBackslash) {
    std::string s = "D:\\a\\b.pli";
    EXPECT_TRUE(StripFirstComponent(s));
    EXPECT_EQ(s, "a\\b.pli");
    EXPECT_TRUE(StripFirstComponent(s));
    EXPECT_EQ(s, "b.pli");
    EXPECT_FALSE(StripFirstComponent(s));
    EXPECT_EQ(s, "b.pli");
}

TEST(PathPieces, PathUpToFirstDotCutsAtADottedFolder) {
    EXPECT_EQ(PathUpToFirstDot("D:\\Tools\\app.exe"), "D:\\Tools\\app");
    EXPECT_EQ(PathUpToFirstDot("D:\\my.tools\\app.exe"), "D:\\my");
    EXPECT_EQ(PathUpToFirstDot("D:\\Tools\\app"), "D:\\Tools\\app");
}

TEST(PathPieces, IntToTextCoversTheSignedRange) {
    EXPECT_EQ(IntToText(0), "0");
    EXPECT_EQ(IntToText(-42), "-42");
    EXPECT_EQ(IntToText(2147483647), "2147483647");
    EXPECT_EQ(IntToText(-2147483647 - 1), "-2147483648");
}

// ---------------------------------------------------------------------------------------------
// ShortenPath
// ---------------------------------------------------------------------------------------------

TEST(ShortenPath, AShortPathStaysAsItIsExceptForTheDriveBackslash) {
    EXPECT_EQ(ShortenPath("D:\\a\\b.pli", 255), "D:\\a\\b.pli");
    EXPECT_EQ(ShortenPath("D:a\\b.pli", 255), "D:\\a\\b.pli");
    EXPECT_EQ(ShortenPath("D:", 255), "D:\\");
    EXPECT_EQ(ShortenPath("plain.pli", 9), "plain.pli");
}

TEST(ShortenPath, FoldersAfterTheDriveGiveWayToAnEllipsis) {
    EXPECT_EQ(ShortenPath("D:\\a\\b\\c.pli", 9), "D:\\...\\c.pli");
    EXPECT_EQ(ShortenPath("D:\\a\\b\\c.pli", 10), "D:\\...\\b\\c.pli");
    EXPECT_EQ(ShortenPath("D:\\Program Files\\Palettes\\Mine", 22), "D:\\...\\Palettes\\Mine");
}

TEST(ShortenPath, ALongBareNameIsCutWithThreeDots) {
    EXPECT_EQ(ShortenPath("D:\\verylongname.pli", 8), "verylon...");
    EXPECT_EQ(ShortenPath("abcdef", 3), "ab...");
    EXPECT_EQ(ShortenPath("abcdef", 1), "...");
    EXPECT_EQ(ShortenPath("D:\\a.pli", 5), "a.pli");
}

TEST(ShortenPath, ZeroWidthGivesNothing) {
    EXPECT_EQ(ShortenPath("D:\\a\\b.pli", 0), "");
    EXPECT_EQ(ShortenPath("", 0), "");
    EXPECT_EQ(ShortenPath("", 10), "");
}

// Random paths of drives, folders, dots and colons: the shortener must end, stay within
// max + 4, leave short paths alone and keep the file name whenever a backslash survives.
TEST(ShortenPath, RandomPathsKeepTheInvariants) {
    std::mt19937 rng(20261207);
    const std::string alphabet = "ab.\\\\\\:D ~";
    for (int round = 0; round < 20000; ++round) {
        std::string path;
        if (rng() % 2) path = "D:";
        const int length = static_cast<int>(rng() % 40);
        for (int i = 0; i < length; ++i) path += alphabet[rng() % alphabet.size()];
        const auto max = static_cast<std::uint8_t>(rng() % 48);

        const std::string s = ShortenPath(path, max);
        SCOPED_TRACE("path '" + path + "' max " + std::to_string(max));
        if (max == 0) {
            ASSERT_EQ(s, "");
            continue;
        }
        ASSERT_LE(s.size(), max + 4u);
        const std::string unchanged = ShortenPath(path, 255);
        if (unchanged.size() <= max) {
            ASSERT_EQ(s, unchanged);
        } else if (s.find('\\') != std::string::npos) {
            ASSERT_NE(s.find("\\..."), std::string::npos);
            ASSERT_EQ(FileNameOf(s), FileNameOf(unchanged));
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Colours
// ---------------------------------------------------------------------------------------------

TEST(Colours, WebSafeRoundingPicksTheNearestStepOf51) {
    EXPECT_EQ(RoundToWebSafe(0), 0);
    EXPECT_EQ(RoundToWebSafe(25), 0);
    EXPECT_EQ(RoundToWebSafe(26), 51);
    EXPECT_EQ(RoundToWebSafe(76), 51);
    EXPECT_EQ(RoundToWebSafe(77), 102);
    EXPECT_EQ(RoundToWebSafe(229), 204);
    EXPECT_EQ(RoundToWebSafe(230), 255);
    EXPECT_EQ(RoundToWebSafe(255), 255);
    for (int c = 0; c <= 255; ++c) {
        const int r = RoundToWebSafe(static_cast<BYTE>(c));
        EXPECT_EQ(r % 51, 0) << c;
        EXPECT_LE(std::abs(r - c), 25) << c;
    }
}

TEST(Colours, SplitColorGivesBlueGreenRed) {
    BYTE b[3] = {};
    SplitColor(RGB(0x12, 0x34, 0x56), b);
    EXPECT_EQ(b[0], 0x56);
    EXPECT_EQ(b[1], 0x34);
    EXPECT_EQ(b[2], 0x12);
}

// ---------------------------------------------------------------------------------------------
// Reading the screen in physical pixels
// ---------------------------------------------------------------------------------------------

// A stand-in system: which awareness contexts it accepts, what it was asked to set, and two
// pointer positions that tell the physical reading from the scaled one.
struct FakeDpiSystem {
    static inline std::vector<DPI_AWARENESS_CONTEXT> Accepted;
    static inline std::vector<DPI_AWARENESS_CONTEXT> Set;
    static inline bool PhysicalWorks = true;
    static inline const DPI_AWARENESS_CONTEXT kHostContext = DPI_AWARENESS_CONTEXT_UNAWARE;

    static inline DPI_AWARENESS_CONTEXT Current = kHostContext;

    static DPI_AWARENESS_CONTEXT WINAPI SetContext(DPI_AWARENESS_CONTEXT c) {
        Set.push_back(c);
        if (c != kHostContext && std::find(Accepted.begin(), Accepted.end(), c) == Accepted.end()) return nullptr;
        return std::exchange(Current, c);
    }
    static BOOL WINAPI Physical(LPPOINT p) {
        if (!PhysicalWorks) return FALSE;
        *p = POINT{300, 150};
        return TRUE;
    }
    static BOOL WINAPI Scaled(LPPOINT p) {
        *p = POINT{200, 100};
        return TRUE;
    }
    static TPhysicalPixelApi Api(bool withSetContext) {
        Set.clear();
        Current = kHostContext;
        PhysicalWorks = true;
        TPhysicalPixelApi api;
        api.SetContext = withSetContext ? &SetContext : nullptr;
        api.PhysicalCursor = &Physical;
        api.Cursor = &Scaled;
        return api;
    }
};

POINT CursorIn(const TPhysicalPixelScope& scope) {
    POINT p{-1, -1};
    EXPECT_TRUE(scope.CursorPos(p));
    return p;
}

TEST(PhysicalPixels, ThePointerIsReadPhysicallyInsideAPerMonitorContextThatEndsWithTheScope) {
    FakeDpiSystem::Accepted = {DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2, DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE};
    const TPhysicalPixelApi api = FakeDpiSystem::Api(true);
    {
        const TPhysicalPixelScope scope(api);
        EXPECT_TRUE(scope.Physical());
        EXPECT_EQ(CursorIn(scope).x, 300);
        FakeDpiSystem::PhysicalWorks = false;
        EXPECT_EQ(CursorIn(scope).x, 200) << "a failed physical reading falls back to the plain one";
    }
    const std::vector<DPI_AWARENESS_CONTEXT> expected{DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2,
                                                      FakeDpiSystem::kHostContext};
    EXPECT_EQ(FakeDpiSystem::Set, expected);
}

TEST(PhysicalPixels, ASystemWithoutTheSecondVersionGetsTheFirst) {
    FakeDpiSystem::Accepted = {DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE};
    const TPhysicalPixelApi api = FakeDpiSystem::Api(true);
    {
        const TPhysicalPixelScope scope(api);
        EXPECT_TRUE(scope.Physical());
        EXPECT_EQ(CursorIn(scope).x, 300);
    }
    ASSERT_EQ(FakeDpiSystem::Set.size(), 3u);
    EXPECT_EQ(FakeDpiSystem::Set[1], DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE);
    EXPECT_EQ(FakeDpiSystem::Set[2], FakeDpiSystem::kHostContext);
}

TEST(PhysicalPixels, WithoutTheCallOrItsConsentTheThreadKeepsItsCoordinatesAndNothingIsRestored) {
    for (const bool withCall : {false, true}) {
        FakeDpiSystem::Accepted = {};
        const TPhysicalPixelApi api = FakeDpiSystem::Api(withCall);
        {
            const TPhysicalPixelScope scope(api);
            EXPECT_FALSE(scope.Physical());
            // The physical position would not match a screen read in the thread's coordinates.
            EXPECT_EQ(CursorIn(scope).x, 200);
        }
        EXPECT_EQ(FakeDpiSystem::Set.size(), withCall ? 2u : 0u) << "refused twice, never restored";
    }
}

TEST(PhysicalPixels, TheRealThreadComesBackToItsOwnAwarenessThroughNestedScopes) {
    // Both calls came with the one the scope uses; Windows 7 has none of them.
    using TGetContext = DPI_AWARENESS_CONTEXT(WINAPI*)();
    using TAwarenessOf = int(WINAPI*)(DPI_AWARENESS_CONTEXT);
    HMODULE user32 = ::GetModuleHandleA("user32.dll");
    const auto getContext = reinterpret_cast<TGetContext>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetThreadDpiAwarenessContext")));
    const auto awarenessOf = reinterpret_cast<TAwarenessOf>(
        reinterpret_cast<void*>(::GetProcAddress(user32, "GetAwarenessFromDpiAwarenessContext")));
    if (getContext == nullptr || awarenessOf == nullptr) GTEST_SKIP() << "no thread awareness on this system";
    const auto awareness = [&] { return awarenessOf(getContext()); };
    const int before = awareness();
    {
        const TPhysicalPixelScope outer;
        if (!outer.Physical()) GTEST_SKIP() << "this system cannot switch a thread's awareness";
        EXPECT_EQ(awareness(), DPI_AWARENESS_PER_MONITOR_AWARE);
        {
            const TPhysicalPixelScope inner;
            EXPECT_EQ(awareness(), DPI_AWARENESS_PER_MONITOR_AWARE);
        }
        EXPECT_EQ(awareness(), DPI_AWARENESS_PER_MONITOR_AWARE);
        // Inside the scope the pointer and the screen agree: a pixel can be read where it points.
        POINT p{};
        ASSERT_TRUE(outer.CursorPos(p));
        EXPECT_NE(ScreenPixel(p, false), CLR_INVALID);
    }
    EXPECT_EQ(awareness(), before);
}

// ---------------------------------------------------------------------------------------------
// Module paths
// ---------------------------------------------------------------------------------------------

// The child half of ModulePaths.ADottedFolderCutsTheBase: a copy of this program, started from
// a dotted folder, writes what it sees into the file named by the environment.
TEST(ModulePathsChild, Report) {
    const char* out = std::getenv("PELMIRA_UTILFUNC_REPORT");
    if (!out) GTEST_SKIP() << "runs only as the child of ADottedFolderCutsTheBase";
    std::ofstream(out, std::ios::binary) << ModulePath() << "\n" << ModuleDir() << "\n"
                                         << ModulePathNoExt() << "\n";
}

TEST(ModulePaths, DescribeThisProgram) {
    const std::string path = ModulePath();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(PathMatches(path));
    EXPECT_EQ(ModuleDir() + "\\" + FileNameOf(path), path);
    EXPECT_EQ(path.rfind(ModulePathNoExt(), 0), 0u);
}

TEST(ModulePaths, ADottedFolderCutsTheBase) {
    TTempFolder temp("utilfunc");
    const std::string folder = temp.MakeFolder("tools.v2");
    const std::string exe = folder + "\\copy.exe";
    ASSERT_TRUE(::CopyFileA(ModulePath().c_str(), exe.c_str(), FALSE));
    const std::string report = temp.File("report.txt");

    ::SetEnvironmentVariableA("PELMIRA_UTILFUNC_REPORT", report.c_str());
    std::string commandLine = "\"" + exe + "\" --gtest_filter=ModulePathsChild.Report";
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    const BOOL started = ::CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                                          0, nullptr, nullptr, &si, &pi);
    ::SetEnvironmentVariableA("PELMIRA_UTILFUNC_REPORT", nullptr);
    ASSERT_TRUE(started);
    EXPECT_EQ(::WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);

    std::ifstream in(report);
    std::string path, dir, base;
    std::getline(in, path);
    std::getline(in, dir);
    std::getline(in, base);
    // The temp folder may be written with a short name by the system; compare case-blind tails.
    EXPECT_EQ(FileNameOf(path), "copy.exe");
    EXPECT_EQ(FileNameOf(dir), "tools.v2");
    EXPECT_EQ(base, path.substr(0, path.find('.')));
    EXPECT_EQ(FileNameOf(base), "tools") << base;
}

// ---------------------------------------------------------------------------------------------
// Files and folders
// ---------------------------------------------------------------------------------------------

TEST(Listing, ListFilesTakesMatchingFilesButNoFolders) {
    TTempFolder temp("utilfunc");
    temp.MakeFile("a.pli");
    temp.MakeFile("Mixed.pli");
    temp.MakeFile("c.txt");
    temp.MakeFolder("folder.pli");
    TStringArray list;
    list.Add("kept");
    EXPECT_TRUE(ListFiles(temp.Path, "pli", list));
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"Mixed.pli", "a.pli", "kept"}));

    TStringArray upper;
    ListFilesUpper(temp.Path, "pli", upper);
    EXPECT_EQ(Entries(upper), (std::vector<std::string>{"A.PLI", "MIXED.PLI"}));
}

TEST(Listing, ListFilesWithoutMatchesAddsNothingAndAnswersFalse) {
    TTempFolder temp("utilfunc");
    temp.MakeFile("c.txt");
    TStringArray list;
    EXPECT_FALSE(ListFiles(temp.Path, "pli", list));
    EXPECT_FALSE(ListFiles(temp.File("missing"), "pli", list));
    ListFilesUpper(temp.Path, "pli", list);
    EXPECT_EQ(list.Count(), 0);
}

TEST(Listing, ListSubfoldersSkipsDotFoldersAndFiles) {
    TTempFolder temp("utilfunc");
    temp.MakeFolder("alpha");
    temp.MakeFolder("Beta.pli");
    temp.MakeFolder(".hidden");
    temp.MakeFile("file.pli");
    TStringArray list;
    ListSubfolders(temp.Path, list);
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"ALPHA", "BETA.PLI"}));
}

TEST(Files, FolderExistsOnlyForFolders) {
    TTempFolder temp("utilfunc");
    EXPECT_TRUE(FolderExists(temp.Path));
    EXPECT_FALSE(FolderExists(temp.MakeFile("f.pli")));
    EXPECT_FALSE(FolderExists(temp.File("missing")));
}

TEST(Files, PathMatchesAndFoundFileNameReadTheDisk) {
    TTempFolder temp("utilfunc");
    temp.MakeFile("Palette One.pli");
    EXPECT_TRUE(PathMatches(temp.File("Palette One.pli")));
    EXPECT_TRUE(PathMatches(temp.File("*.pli")));
    EXPECT_FALSE(PathMatches(temp.File("*.txt")));
    EXPECT_EQ(FoundFileName(temp.File("palette one.PLI")), "Palette One.pli");
    EXPECT_EQ(FoundFileName(temp.File("*.pli")), "Palette One.pli");
    EXPECT_EQ(FoundFileName(temp.File("none.pli")), "");
}

TEST(Files, LongPathOfRestoresOnDiskCaseAndKeepsTheDrive) {
    TTempFolder temp("utilfunc");
    temp.MakeFolder("Long Folder Name");
    temp.MakeFile("Long Folder Name\\Palette File.pli");
    const std::string base = LongPathOf(temp.Path);
    ASSERT_FALSE(base.empty());
    EXPECT_EQ(LongPathOf(temp.File("long folder name\\PALETTE FILE.PLI")),
              base + "\\Long Folder Name\\Palette File.pli");

    char shortPath[MAX_PATH + 1] = {};
    if (::GetShortPathNameA(temp.File("Long Folder Name\\Palette File.pli").c_str(), shortPath,
                            sizeof(shortPath))) {
        EXPECT_EQ(LongPathOf(shortPath), base + "\\Long Folder Name\\Palette File.pli");
    }
    EXPECT_EQ(LongPathOf(temp.File("missing.pli")), "");
}

// The walk must end wherever the path's left end is, not only at a drive.
TEST(Files, LongPathWalkEndsAtDrivesRootsRelativePathsAndShares) {
    std::map<std::string, std::string> disk = {
        {"d:\\a", "Alpha"}, {"d:\\a\\b.pli", "B.pli"},       {"\\a", "Alpha"},
        {"\\a\\b.pli", "B.pli"}, {"a", "Alpha"},             {"a\\b.pli", "B.pli"},
        {"\\\\srv\\share\\b.pli", "B.pli"},
    };
    auto found = [&](const std::string& p) {
        auto it = disk.find(p);
        return it == disk.end() ? std::string() : it->second;
    };
    EXPECT_EQ(LongPathWalk("d:\\a\\b.pli", found), "d:\\Alpha\\B.pli");
    EXPECT_EQ(LongPathWalk("\\a\\b.pli", found), "\\Alpha\\B.pli");
    EXPECT_EQ(LongPathWalk("a\\b.pli", found), "Alpha\\B.pli");
    EXPECT_EQ(LongPathWalk("\\\\srv\\share\\b.pli", found), "\\\\srv\\share\\B.pli");
    EXPECT_EQ(LongPathWalk("d:\\gone.pli", found), "");
}

TEST(Files, FileTimeOfGivesTheLocalLastWriteTime) {
    TTempFolder temp("utilfunc");
    const std::string file = temp.MakeFile("t.pli");
    const SYSTEMTIME wanted{2003, 2, 3, 12, 9, 5, 7, 0};
    FILETIME local{}, utc{};
    ASSERT_TRUE(::SystemTimeToFileTime(&wanted, &local));
    ASSERT_TRUE(::LocalFileTimeToFileTime(&local, &utc));
    {
        HANDLE h = ::CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        EXPECT_TRUE(::SetFileTime(h, nullptr, nullptr, &utc));
        ::CloseHandle(h);
    }
    SYSTEMTIME got{};
    ASSERT_TRUE(FileTimeOf(file, got));
    EXPECT_EQ(got.wYear, 2003);
    EXPECT_EQ(got.wMonth, 2);
    EXPECT_EQ(got.wDay, 12);
    EXPECT_EQ(got.wHour, 9);
    EXPECT_EQ(got.wMinute, 5);
    EXPECT_EQ(got.wSecond, 7);

    EXPECT_FALSE(FileTimeOf(temp.File("missing.pli"), got));
    EXPECT_EQ(got.wYear, 0);
}

TEST(Shell, RenameMovesTheFileAndReportsSuccess) {
    TTempFolder temp("utilfunc");
    const std::string from = temp.MakeFile("old.pli", "content");
    const std::string to = temp.File("new.pli");
    EXPECT_TRUE(ShellRename(nullptr, from, to));
    EXPECT_FALSE(PathMatches(from));
    EXPECT_TRUE(PathMatches(to));
}

TEST(Shell, RenameOfAMissingFileReportsFailure) {
    TTempFolder temp("utilfunc");
    bool answer = true;
    {
        // The shell may explain the failure in a box of its own; close it when it comes.
        DialogDriver driver([](HWND box) { ::PostMessageA(box, WM_COMMAND, IDOK, 0); }, 3);
        answer = ShellRename(nullptr, temp.File("missing.pli"), temp.File("new.pli"));
    }
    EXPECT_FALSE(answer);
    EXPECT_FALSE(PathMatches(temp.File("new.pli")));
}

// Wine's recycle bin is the desktop's own trash folder on the host (seen through drive Z:).
// Removes what a test put there, by the unique name it gave the file.
void RemoveFromHostTrash(const std::string& name) {
    char value[MAX_PATH] = {};
    std::string trash;
    if (::GetEnvironmentVariableA("XDG_DATA_HOME", value, sizeof(value))) {
        trash = "Z:" + std::string(value) + "\\Trash";
        std::replace(trash.begin(), trash.end(), '/', '\\');
    } else if (::GetEnvironmentVariableA("WINEHOMEDIR", value, sizeof(value))) {
        trash = value;  // \??\Z:\home\user
        if (trash.rfind("\\??\\", 0) == 0) trash.erase(0, 4);
        trash += "\\.local\\share\\Trash";
    } else {
        return;
    }
    for (const char* sub : {"\\files\\", "\\info\\"}) {
        const std::string folder = trash + sub;
        WIN32_FIND_DATAA data{};
        HANDLE h = ::FindFirstFileA((folder + name + "*").c_str(), &data);
        if (h == INVALID_HANDLE_VALUE) continue;
        do {
            ::DeleteFileA((folder + data.cFileName).c_str());
        } while (::FindNextFileA(h, &data));
        ::FindClose(h);
    }
}

TEST(Shell, DeleteRemovesTheFileWithoutAsking) {
    TTempFolder temp("utilfunc");
    const std::string name = "pelmira_gone_" + std::to_string(::GetCurrentProcessId()) + "_" +
                             std::to_string(::GetTickCount()) + ".pli";
    const std::string file = temp.MakeFile(name);
    EXPECT_TRUE(ShellDelete(nullptr, file));
    EXPECT_FALSE(PathMatches(file));
    RemoveFromHostTrash(name);
}

// ---------------------------------------------------------------------------------------------
// INI files
// ---------------------------------------------------------------------------------------------

TEST(Ini, ValuesRoundTripAndMissingOnesGiveTheDefault) {
    TTempFolder temp("utilfunc");
    const std::string file = temp.File("settings.ini");
    EXPECT_TRUE(WriteIniString(file, "Main", "Folder", "D:\\Palettes"));
    EXPECT_TRUE(WriteIniString(file, "Main", "Left", "-35"));
    EXPECT_EQ(ReadIniString(file, "Main", "Folder", "def"), "D:\\Palettes");
    EXPECT_EQ(ReadIniInt(file, "Main", "Left", 7), -35);
    EXPECT_EQ(ReadIniString(file, "Main", "Missing", "def"), "def");
    EXPECT_EQ(ReadIniInt(file, "Main", "Missing", 7), 7);
    EXPECT_EQ(ReadIniString(file, "Other", "Folder", "def"), "def");
    EXPECT_EQ(ReadIniString(temp.File("none.ini"), "Main", "Folder", "def"), "def");
    EXPECT_EQ(ReadIniInt(temp.File("none.ini"), "Main", "Left", -1), -1);
}

TEST(Ini, AnEmptyValueGivesTheDefault) {
    TTempFolder temp("utilfunc");
    const std::string file = temp.MakeFile("lang.ini", "[Button]\r\nload=\r\nsave=\"\"\r\n");
    EXPECT_EQ(ReadIniString(file, "Button", "load", "o"), "o");
    EXPECT_EQ(ReadIniString(file, "Button", "save", "s"), "s");
}

TEST(Ini, EmptySectionOrKeyGivesTheDefaultWithoutReading) {
    TTempFolder temp("utilfunc");
    const std::string file = temp.MakeFile("odd.ini", "[]\r\nk=section-less\r\n[S]\r\n=key-less\r\n");
    EXPECT_EQ(ReadIniString(file, "", "k", "def"), "def");
    EXPECT_EQ(ReadIniString(file, "S", "", "def"), "def");
    EXPECT_EQ(ReadIniInt(file, "", "k", 3), 3);
    EXPECT_EQ(ReadIniInt(file, "S", "", 3), 3);
}

TEST(Ini, LongValuesAreCutTo127Characters) {
    TTempFolder temp("utilfunc");
    const std::string file = temp.File("long.ini");
    const std::string value(200, 'v');
    ASSERT_TRUE(WriteIniString(file, "S", "k", value));
    EXPECT_EQ(ReadIniString(file, "S", "k", ""), std::string(127, 'v'));
}

// ---------------------------------------------------------------------------------------------
// Windows
// ---------------------------------------------------------------------------------------------

class TestWindow {
public:
    explicit TestWindow(const char* className = "PelmiraUtilFuncTest") {
        WNDCLASSA wc{};
        wc.lpfnWndProc = ::DefWindowProcA;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = className;
        ::RegisterClassA(&wc);
        hwnd_ = ::CreateWindowExA(0, className, "test", WS_OVERLAPPEDWINDOW, 10, 20, 300, 200,
                                  nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~TestWindow() {
        if (::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    }
    HWND Handle() const { return hwnd_; }
    RECT Rect() const {
        RECT r{};
        ::GetWindowRect(hwnd_, &r);
        return r;
    }

private:
    HWND hwnd_;
};

TEST(Windows, MoveResizeAndCenter) {
    TestWindow w;
    ASSERT_TRUE(w.Handle());
    EXPECT_TRUE(MoveWindowTo(w.Handle(), 33, 44));
    EXPECT_EQ(w.Rect().left, 33);
    EXPECT_EQ(w.Rect().top, 44);
    EXPECT_EQ(w.Rect().right - w.Rect().left, 300);

    EXPECT_TRUE(ResizeWindow(w.Handle(), 123, 77));
    EXPECT_EQ(w.Rect().left, 33);
    EXPECT_EQ(w.Rect().right - w.Rect().left, 123);
    EXPECT_EQ(w.Rect().bottom - w.Rect().top, 77);

    CenterWindow(w.Handle());
    const SIZE screen = GetScreenSize();
    EXPECT_EQ(screen.cx, ::GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(w.Rect().left, (screen.cx - 123) / 2);
    EXPECT_EQ(w.Rect().top, (screen.cy - 77) / 2);
}

TEST(Windows, FillClientPaintsTheClientRectangleOnly) {
    TestWindow w;
    RECT client{};
    ::GetClientRect(w.Handle(), &client);
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, client.right + 20, client.bottom + 20);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all = MakeRect(0, 0, client.right + 20, client.bottom + 20);
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));

    EXPECT_EQ(FillClient(w.Handle(), RGB(0, 128, 255), dc), 1);
    EXPECT_EQ(::GetPixel(dc, 0, 0), RGB(0, 128, 255));
    EXPECT_EQ(::GetPixel(dc, client.right - 1, client.bottom - 1), RGB(0, 128, 255));
    EXPECT_EQ(::GetPixel(dc, client.right + 5, client.bottom + 5), RGB(0, 0, 0));

    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    ::ReleaseDC(nullptr, screen);
}

TEST(Windows, FindWindowByClassWantsTheExactName) {
    TestWindow w("PelmiraUtilFuncFindMe");
    ASSERT_TRUE(w.Handle());
    EXPECT_EQ(FindWindowByClass("PelmiraUtilFuncFindMe"), w.Handle());
    EXPECT_EQ(FindWindowByClass("PelmiraUtilFuncFind"), nullptr);
    EXPECT_EQ(FindWindowByClass("pelmirautilfuncfindme"), nullptr);
}

TEST(Windows, IsOwnForegroundFollowsTheForegroundWindow) {
    TestWindow w;
    ::ShowWindow(w.Handle(), SW_SHOW);
    ::SetForegroundWindow(w.Handle());
    if (::GetForegroundWindow() != w.Handle()) GTEST_SKIP() << "no window manager focus here";
    EXPECT_TRUE(IsOwnForeground());
}

HWND gProcWindow = nullptr;
int gProcCalls = 0;
void RecordProc(HWND window) {
    gProcWindow = window;
    ++gProcCalls;
}

TEST(DefaultCommands, ProcAndCloseCommandsReachTheWindowInTheFirstField) {
    TestWindow w;
    gProcWindow = nullptr;
    gProcCalls = 0;
    TMessageRecord record{reinterpret_cast<UINT_PTR>(w.Handle()), MAKEWPARAM(201, 0), 0, 0};
    HandleDefaultCommand(record, RecordProc);
    EXPECT_EQ(gProcCalls, 1);
    EXPECT_EQ(gProcWindow, w.Handle());

    record.WParam = MAKEWPARAM(201, 1);  // an accelerator or control notification, not a menu
    HandleDefaultCommand(record, RecordProc);
    record.WParam = MAKEWPARAM(203, 0);
    HandleDefaultCommand(record, RecordProc);
    record.WParam = MAKEWPARAM(200, 0);
    HandleDefaultCommand(record, nullptr);
    EXPECT_EQ(gProcCalls, 1);
    EXPECT_FALSE(::IsWindow(w.Handle()));
}

TEST(DefaultCommands, AboutShowsTheCreditBox) {
    TestWindow w;
    std::string caption;
    {
        DialogDriver driver([&](HWND box) {
            caption = TextOf(box);
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        HandleDefaultCommand({reinterpret_cast<UINT_PTR>(w.Handle()), 202, 0, 0}, nullptr);
    }
    EXPECT_EQ(caption, "About ...");
}

// ---------------------------------------------------------------------------------------------
// Pickers
// ---------------------------------------------------------------------------------------------

TEST(PickColor, CancelLeavesTheColour) {
    COLORREF custom[16] = {};
    COLORREF color = RGB(1, 2, 3);
    bool answer = true;
    {
        DialogDriver driver([](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); });
        answer = PickColor(nullptr, color, custom);
        EXPECT_TRUE(driver.Found());
    }
    EXPECT_FALSE(answer);
    EXPECT_EQ(color, RGB(1, 2, 3));
}

TEST(PickColor, OkAnswersTheDialogsColour) {
    COLORREF color = RGB(10, 20, 30);
    bool answer = false;
    {
        DialogDriver driver([](HWND dialog) { ::PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
        answer = PickColor(nullptr, color, nullptr);
    }
    EXPECT_TRUE(answer);
    EXPECT_EQ(color, RGB(10, 20, 30));
}

// The picker tests start in the system's temp folder and move to its parent: Wine's picker now
// and then fails to select a folder created moments before, but never a long-standing one.
std::string SystemTempFolder() {
    char base[MAX_PATH + 1] = {};
    ::GetTempPathA(MAX_PATH, base);
    return LongPathOf(DirectoryOf(base));  // without the trailing backslash
}

TEST(BrowseForFolder, StartsOnAnExistingFolderWithOkDisabledAndCancels) {
    const std::string start = SystemTempFolder();
    std::string path = start;
    bool okEnabledAtStart = true;
    bool shownAtStart = false;
    bool answer = true;
    {
        DialogDriver driver([&](HWND dialog) {
            // The initial selection shows in the status line once the callback has run.
            shownAtStart = WaitFor([&] { return ChildShowsText(dialog, start); }, kWaitMs, TWait::Poll);
            okEnabledAtStart = ::IsWindowEnabled(::GetDlgItem(dialog, IDOK)) != FALSE;
            ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        answer = BrowseForFolder(nullptr, "Select Folder", path, false);
        EXPECT_TRUE(driver.Found());
    }
    EXPECT_TRUE(shownAtStart);
    EXPECT_FALSE(okEnabledAtStart);
    EXPECT_FALSE(answer);
    EXPECT_EQ(path, start);
}

TEST(BrowseForFolder, MovingTheSelectionEnablesOkAndConfirmsTheNewFolder) {
    const std::string start = SystemTempFolder();
    const std::string parent = DirectoryOf(start);
    std::string path = start;
    bool okEnabledAfterMove = false;
    bool answer = false;
    {
        DialogDriver driver([&](HWND dialog) {
            HWND ok = ::GetDlgItem(dialog, IDOK);
            WaitFor([&] { return ChildShowsText(dialog, start) && !::IsWindowEnabled(ok); }, kWaitMs,
                    TWait::Poll);
            ::SendMessageA(dialog, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(parent.c_str()));
            okEnabledAfterMove = WaitFor(
                [&] { return ChildShowsText(dialog, parent) && ::IsWindowEnabled(ok) != FALSE; }, kWaitMs,
                TWait::Poll);
            ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        });
        answer = BrowseForFolder(nullptr, "Select Folder", path, false);
    }
    EXPECT_TRUE(okEnabledAfterMove);
    EXPECT_TRUE(answer);
    EXPECT_EQ(_stricmp(path.c_str(), parent.c_str()), 0) << path;
}

TEST(BrowseForFolder, ATypedNonFolderIsRefusedAndThePickerStaysOpen) {
    std::string caption;
    int answer = 0;
    {
        DialogDriver driver([&](HWND box) {
            caption = TextOf(box);
            ::PostMessageA(box, WM_COMMAND, IDOK, 0);
        });
        answer = BrowseCallback(nullptr, BFFM_VALIDATEFAILEDA, reinterpret_cast<LPARAM>("nope"), 0);
    }
    EXPECT_EQ(answer, 1);
    EXPECT_EQ(caption, "SelectFolder");
}

}  // namespace
