// The release packages as a Windows user gets them. `make dist` builds them and unpacks each zip
// again under build/dist-unpacked/<x64|x86>; without that these tests skip themselves.
// The x64 package is copied into a fresh folder and its controller, with nothing but the shipped
// files beside it, takes over another program's colour dialog, which then loads a sample palette.
// The x86 package cannot run here: its file list and PE32 headers are checked.
#include <gtest/gtest.h>

#include "ControllerHarness.h"

#include <psapi.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

using namespace harness;

namespace {

// What the unpacked zip holds at its top.
const std::set<std::string> kShippedFiles = {"vorlund.exe",     "skerrow.dll", "vorlundLang.ini", "vorlundForm.ini",
                                             "brisanne.chm",    "README.txt",  "LICENSE",         "palettes"};

// What the x64 package holds besides: the 32-bit companion and the 32-bit hook library under
// the file name the companion loads it by.
const std::set<std::string> kShipped32BitPair = {"vorlund32.exe", "skerrow32.dll"};

std::string FullPath(const std::string& path) {
    char full[MAX_PATH] = {};
    ::GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return full;
}

// Where `make dist` unpacked the package of `arch` ("x64", "x86"): the build root's
// dist-unpacked folder, beside the tree of this test.
std::string UnpackedFolder(const std::string& arch) {
    return FullPath(TestFolder() + "\\..\\..\\dist-unpacked\\" + arch);
}

std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CopyTree(const std::string& from, const std::string& to) {
    if (!::CreateDirectoryA(to.c_str(), nullptr)) return false;
    for (const std::string& name : Entries(from)) {
        const std::string source = from + "\\" + name, target = to + "\\" + name;
        if (IsFolder(source) ? !CopyTree(source, target) : !::CopyFileA(source.c_str(), target.c_str(), TRUE))
            return false;
    }
    return true;
}

std::string ReadAll(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The one top folder of an unpacked zip; empty (with a failure) when there is not exactly one.
std::string TopFolder(const std::string& unpacked) {
    const auto top = Entries(unpacked);
    EXPECT_EQ(top.size(), 1u) << "one top folder in the zip";
    if (top.size() != 1) return "";
    EXPECT_EQ(top[0].find('.'), std::string::npos) << "its name has no \".\": " << top[0];
    EXPECT_TRUE(IsFolder(unpacked + "\\" + top[0]));
    return unpacked + "\\" + top[0];
}

// The sixteen colours of a sample palette, each line "k=R,G,B" CR LF with k counting from 0.
std::vector<COLORREF> SamplePalette(const std::string& path) {
    std::vector<COLORREF> colors;
    std::istringstream lines(ReadAll(path));
    std::string line;
    for (int k = 0; std::getline(lines, line); ++k) {
        int index = -1, red = -1, green = -1, blue = -1, end = 0;
        EXPECT_EQ(std::sscanf(line.c_str(), "%d=%d,%d,%d\r%n", &index, &red, &green, &blue, &end), 4) << path;
        EXPECT_EQ(end, static_cast<int>(line.size())) << path << ": line " << k << " ends in CR LF";
        EXPECT_EQ(index, k) << path;
        for (int value : {red, green, blue}) EXPECT_TRUE(value >= 0 && value <= 255) << path << ": " << line;
        colors.push_back(RGB(red, green, blue));
    }
    EXPECT_EQ(colors.size(), 16u) << path;
    return colors;
}

struct TImage {
    WORD Machine = 0;
    WORD Magic = 0;  // 0x10b PE32, 0x20b PE32+
    WORD Characteristics = 0;
    WORD Subsystem = 0;
    DWORD Symbols = 0;  // COFF symbols left in the file: none once stripped
    std::string Version;  // "major.minor.patch" of the file's VERSIONINFO
};

TImage ReadImage(const std::string& path) {
    TImage image;
    const std::string bytes = ReadAll(path);
    if (bytes.size() < sizeof(IMAGE_DOS_HEADER)) return image;
    IMAGE_DOS_HEADER dos{};
    std::memcpy(&dos, bytes.data(), sizeof dos);
    const auto pe = static_cast<std::size_t>(dos.e_lfanew);
    if (dos.e_magic != IMAGE_DOS_SIGNATURE || pe + 4 + sizeof(IMAGE_FILE_HEADER) + 70 > bytes.size() ||
        bytes.compare(pe, 4, std::string("PE\0\0", 4)) != 0)
        return image;
    IMAGE_FILE_HEADER file{};
    std::memcpy(&file, bytes.data() + pe + 4, sizeof file);
    image.Machine = file.Machine;
    image.Characteristics = file.Characteristics;
    image.Symbols = file.NumberOfSymbols;
    const std::size_t optional = pe + 4 + sizeof file;
    std::memcpy(&image.Magic, bytes.data() + optional, sizeof image.Magic);
    // Subsystem sits at the same offset in PE32 and PE32+ optional headers.
    std::memcpy(&image.Subsystem, bytes.data() + optional + 68, sizeof image.Subsystem);

    // VS_FIXEDFILEINFO starts with its signature; the file version follows the structure version.
    const std::string signature("\xBD\x04\xEF\xFE", 4);
    const std::size_t at = bytes.find(signature);
    if (at != std::string::npos && at + 16 <= bytes.size()) {
        DWORD ms = 0, ls = 0;
        std::memcpy(&ms, bytes.data() + at + 8, 4);
        std::memcpy(&ls, bytes.data() + at + 12, 4);
        image.Version = std::to_string(HIWORD(ms)) + "." + std::to_string(LOWORD(ms)) + "." + std::to_string(HIWORD(ls));
    }
    return image;
}

const std::string kBuildVersion = std::to_string(PELMIRA_VERSION_MAJOR) + "." + std::to_string(PELMIRA_VERSION_MINOR) +
                                  "." + std::to_string(PELMIRA_VERSION_PATCH);

// The shipped files, programs of `machine` (stripped, GUI program and DLL, versioned), and the
// sample palettes: well-formed, several, and each different.
void ExpectPackageContents(const std::string& top, WORD machine, WORD magic,
                           const std::set<std::string>& alsoShipped = {}) {
    const auto entries = Entries(top);
    std::set<std::string> expected = kShippedFiles;
    expected.insert(alsoShipped.begin(), alsoShipped.end());
    EXPECT_EQ(std::set<std::string>(entries.begin(), entries.end()), expected);

    for (const char* program : {"vorlund.exe", "skerrow.dll"}) {
        SCOPED_TRACE(program);
        const TImage image = ReadImage(top + "\\" + program);
        EXPECT_EQ(image.Machine, machine);
        EXPECT_EQ(image.Magic, magic);
        EXPECT_EQ(image.Symbols, 0u) << "stripped";
        EXPECT_EQ(image.Version, kBuildVersion);
        const bool library = (image.Characteristics & IMAGE_FILE_DLL) != 0;
        EXPECT_EQ(library, std::string(program) == "skerrow.dll");
        if (!library) {
            EXPECT_EQ(image.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
        }
    }
    // The library is mapped into every program on the desktop: a runtime piece that creeps back in
    // (the printf family, the demangler, the standard exception strings, the toolchain's thread
    // library: over 120 KB together) shows here first. It is about 195 KiB (x64) and 225 KiB (x86,
    // whose exceptions need the DWARF unwinder and its tables); the limits leave a few KiB.
    const std::size_t limit = (machine == IMAGE_FILE_MACHINE_AMD64 ? 200u : 230u) * 1024u;
    EXPECT_LE(ReadAll(top + "\\skerrow.dll").size(), limit) << "skerrow.dll, stripped";

    std::set<std::vector<COLORREF>> palettes;
    for (const std::string& name : Entries(top + "\\palettes")) {
        EXPECT_EQ(name.substr(name.size() - 4), ".pli");
        palettes.insert(SamplePalette(top + "\\palettes\\" + name));
    }
    EXPECT_GE(palettes.size(), 4u) << "several different sample palettes";
    EXPECT_NE(ReadAll(top + "\\README.txt").find("\r\n"), std::string::npos) << "Windows line ends";
}

// The 32-bit companion and library of the x64 package: PE32 for x86, stripped, a GUI program
// (no console window) and a DLL. Their imports are checked when they are linked.
void ExpectThe32BitPair(const std::string& top) {
    for (const char* file : {"vorlund32.exe", "skerrow32.dll"}) {
        SCOPED_TRACE(file);
        const TImage image = ReadImage(top + "\\" + file);
        EXPECT_EQ(image.Machine, IMAGE_FILE_MACHINE_I386);
        EXPECT_EQ(image.Magic, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
        EXPECT_EQ(image.Symbols, 0u) << "stripped";
        const bool library = (image.Characteristics & IMAGE_FILE_DLL) != 0;
        EXPECT_EQ(library, std::string(file) == "skerrow32.dll");
        if (!library) {
            EXPECT_EQ(image.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The hooked client: the platform's colour dialog in a test client from this test's folder
// ---------------------------------------------------------------------------------------------
class TClientProcess {
public:
    explicit TClientProcess(const std::string& arguments) {
        std::string line = "\"" + TestFolder() + "\\choose_color_client.exe\" --timeout 120000 " + arguments;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        started_ = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_);
    }
    ~TClientProcess() {
        if (!started_) return;
        if (::WaitForSingleObject(pi_.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(pi_.hProcess, 1);
        ::CloseHandle(pi_.hThread);
        ::CloseHandle(pi_.hProcess);
    }
    TClientProcess(const TClientProcess&) = delete;
    TClientProcess& operator=(const TClientProcess&) = delete;

    // Its colour dialog once the hook has marked it as taken over.
    HWND WaitForTakenOverDialog() const {
        HWND dialog = nullptr;
        WaitFor([&] {
            for (HWND w : TopWindows(pi_.dwProcessId, "#32770"))
                if (::GetPropA(w, "Ostvarin") != nullptr) dialog = w;
            return dialog != nullptr;
        });
        return dialog;
    }

    // The full path of its loaded module `name`, or empty text.
    std::string ModulePath(const std::string& name) const {
        HMODULE modules[512];
        DWORD bytes = 0;
        if (!::K32EnumProcessModules(pi_.hProcess, modules, sizeof modules, &bytes)) return "";
        for (DWORD i = 0; i < bytes / sizeof(HMODULE); ++i) {
            char path[MAX_PATH] = {};
            ::K32GetModuleFileNameExA(pi_.hProcess, modules[i], path, MAX_PATH);
            const std::string p = path;
            if (lstrcmpiA(p.substr(p.find_last_of('\\') + 1).c_str(), name.c_str()) == 0) return p;
        }
        return "";
    }

    bool Started() const { return started_; }
    bool WaitExit() const { return ::WaitForSingleObject(pi_.hProcess, kWaitMs) == WAIT_OBJECT_0; }

private:
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

// The colours the custom cells show on the screen, probed a third across and half-way down.
std::vector<COLORREF> CustomCells(HWND dialog) {
    RECT grid{};
    ::GetWindowRect(::GetDlgItem(dialog, 721), &grid);
    const int width = (grid.right - grid.left) / 8, height = (grid.bottom - grid.top) / 2;
    std::vector<COLORREF> cells;
    HDC screen = ::GetDC(nullptr);
    for (int k = 0; k < 16; ++k)
        cells.push_back(::GetPixel(screen, grid.left + (k % 8) * width + width / 3,
                                   grid.top + (k / 8) * height + height / 2));
    ::ReleaseDC(nullptr, screen);
    return cells;
}

}  // namespace

TEST(Package, X64RunsFromAFreshFolderAndExtendsAnotherProgramsDialog) {
    const std::string unpacked = UnpackedFolder("x64");
    if (!IsFolder(unpacked)) GTEST_SKIP() << "No unpacked package in " << unpacked << ": run `make dist` first.";
    const std::string shipped = TopFolder(unpacked);
    ASSERT_FALSE(shipped.empty());
    ExpectPackageContents(shipped, IMAGE_FILE_MACHINE_AMD64, IMAGE_NT_OPTIONAL_HDR64_MAGIC, kShipped32BitPair);
    ExpectThe32BitPair(shipped);

    // A fresh folder whose path has no ".": the settings files are named from it.
    TTempFolder fresh("package");
    const std::string folder = fresh.Path + "\\Pelmira";
    ASSERT_EQ(folder.find('.'), std::string::npos) << folder;
    ASSERT_TRUE(CopyTree(shipped, folder));

    TControllerProcess controller;
    ASSERT_TRUE(controller.Start(folder));
    HWND main = WaitForMainWindow(controller);
    ASSERT_NE(main, nullptr) << "the packaged controller did not come up";
    TSharedBlock block{};
    ASSERT_TRUE(ReadSharedBlock(block));
    EXPECT_EQ(lstrcmpiA(block.SettingsBase, (folder + "\\vorlund").c_str()), 0) << block.SettingsBase;

    const std::string list = fresh.File("drop.txt");
    const std::string palette = folder + "\\palettes\\Frost.pli";
    ASSERT_TRUE(WriteTextFile(list, palette + "\n"));
    {
        TClientProcess client("--drop-list \"" + list + "\"");
        ASSERT_TRUE(client.Started());
        HWND dialog = client.WaitForTakenOverDialog();
        ASSERT_NE(dialog, nullptr) << "the client's colour dialog was not taken over";
        EXPECT_EQ(lstrcmpiA(client.ModulePath("skerrow.dll").c_str(), (folder + "\\skerrow.dll").c_str()), 0)
            << "the hook came from the package: " << client.ModulePath("skerrow.dll");

        // A shipped palette dropped on the dialog's buttons fills its custom colours.
        const std::vector<COLORREF> expected = SamplePalette(palette);
        ::SendMessageTimeoutA(dialog, ::RegisterWindowMessageA("PelmiraTestDrop"), 0, 0, SMTO_ABORTIFHUNG, 10000,
                              nullptr);
        EXPECT_TRUE(WaitFor([&] { return CustomCells(dialog) == expected; })) << "Frost.pli did not load";
        ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(client.WaitExit());
    }
    EXPECT_EQ(CloseController(controller, main), 0);
}

TEST(Package, X86HoldsTheSameFilesBuiltAsPE32) {
    const std::string unpacked = UnpackedFolder("x86");
    if (!IsFolder(unpacked)) GTEST_SKIP() << "No unpacked package in " << unpacked << ": run `make dist` first.";
    const std::string shipped = TopFolder(unpacked);
    ASSERT_FALSE(shipped.empty());
    ExpectPackageContents(shipped, IMAGE_FILE_MACHINE_I386, IMAGE_NT_OPTIONAL_HDR32_MAGIC);
}
