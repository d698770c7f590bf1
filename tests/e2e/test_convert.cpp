// The command-line converter, end to end: "vorlund.exe /convert IN OUT" in a folder without the
// hook library, with its standard error handed to a file this test reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ControllerHarness.h"
#include "PaletteFormats.h"

using namespace harness;
namespace formats = pelmira::formats;

namespace {

struct TRun {
    long ExitCode = -1;
    std::string Said;  // what it wrote to its standard error
};

// Runs the copy in `folder` with `arguments`, standard error going to a file of the folder.
TRun RunVorlund(const TTempFolder& folder, const std::string& arguments) {
    TRun run;
    const std::string errPath = folder.File("stderr.txt");
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE err = ::CreateFileA(errPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (err == INVALID_HANDLE_VALUE) return run;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdError = err;
    std::string commandLine = "\"" + folder.Path + "\\vorlund.exe\" " + arguments;
    PROCESS_INFORMATION pi{};
    const BOOL started = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                          folder.Path.c_str(), &si, &pi);
    ::CloseHandle(err);
    if (!started) return run;
    ::CloseHandle(pi.hThread);
    if (::WaitForSingleObject(pi.hProcess, kWaitMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        ::GetExitCodeProcess(pi.hProcess, &code);
        run.ExitCode = static_cast<long>(code);
    } else {
        ::TerminateProcess(pi.hProcess, 99);
    }
    ::CloseHandle(pi.hProcess);
    std::string said;
    if (FILE* f = std::fopen(errPath.c_str(), "rb")) {
        char buffer[4096];
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, f);
        said.assign(buffer, n);
        std::fclose(f);
    }
    ::DeleteFileA(errPath.c_str());
    run.Said = said;
    return run;
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) bytes.append(buffer, n);
        std::fclose(f);
    }
    return bytes;
}

// Everything in the folder but the program itself.
std::vector<std::string> FolderFiles(const TTempFolder& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE find = ::FindFirstFileA(folder.File("*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != ".." && name != "vorlund.exe") names.push_back(name);
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

formats::TPalette TwentyColours() {
    formats::TPalette colors;
    for (int i = 0; i < 20; ++i)
        colors.push_back({static_cast<std::uint8_t>(i * 12), static_cast<std::uint8_t>(255 - i),
                          static_cast<std::uint8_t>(i * 7 + 3), "tone " + std::to_string(i)});
    return colors;
}

class Convert : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(InstallController(folder, "")); }
    TTempFolder folder{"convert"};
};

}  // namespace

// Without the hook library beside it, so a converter that started the controller would stop at
// the library's message box instead of converting.
TEST_F(Convert, GplToAseAndOnToJascKeepsEveryColourAndLeavesNothingElse) {
    const formats::TPalette colors = TwentyColours();
    ASSERT_TRUE(WriteTextFile(folder.File("in put.gpl"), formats::WritePalette(formats::TFormat::Gpl, colors).Bytes));

    TRun run = RunVorlund(folder, "/convert \"in put.gpl\" out.ase");
    EXPECT_EQ(run.ExitCode, 0) << run.Said;
    EXPECT_EQ(run.Said, "");
    const formats::TReadResult ase = formats::ReadPalette(ReadAll(folder.File("out.ase")), "out.ase");
    ASSERT_TRUE(ase.Ok) << ase.Error;
    EXPECT_EQ(ase.Format, formats::TFormat::Ase);
    EXPECT_EQ(ase.Colors, colors);

    // Upper-case switch, full paths, ".pal" written as JASC text.
    run = RunVorlund(folder, "/CONVERT \"" + folder.File("out.ase") + "\" \"" + folder.File("out.pal") + "\"");
    EXPECT_EQ(run.ExitCode, 0) << run.Said;
    const std::string jasc = ReadAll(folder.File("out.pal"));
    EXPECT_EQ(jasc.rfind("JASC-PAL\r\n0100\r\n20\r\n", 0), 0u) << jasc;
    const formats::TReadResult back = formats::ReadPalette(jasc, "out.pal");
    ASSERT_EQ(back.Colors.size(), 20u);
    EXPECT_EQ(back.Colors[19].R, colors[19].R);
    EXPECT_EQ(back.Colors[19].B, colors[19].B);

    // No settings or language file, no temporary file, no window left.
    EXPECT_EQ(FolderFiles(folder), (std::vector<std::string>{"in put.gpl", "out.ase", "out.pal"}));
    EXPECT_TRUE(TopWindows(0, "Pelmira").empty());
}

TEST_F(Convert, RefusedInputsExitNonZeroSayWhyAndWriteNothing) {
    // A swatch that claims more bytes than the file has; an existing OUT must survive untouched.
    std::string ase = formats::WritePalette(formats::TFormat::Ase, TwentyColours()).Bytes;
    ase.resize(ase.size() - 5);
    ASSERT_TRUE(WriteTextFile(folder.File("cut.ase"), ase));
    ASSERT_TRUE(WriteTextFile(folder.File("kept.gpl"), "GIMP Palette\n0 0 0 black\n"));

    TRun run = RunVorlund(folder, "/convert cut.ase kept.gpl");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Said.find("cut.ase: ASE:"), std::string::npos) << run.Said;
    EXPECT_EQ(ReadAll(folder.File("kept.gpl")), "GIMP Palette\n0 0 0 black\n");

    run = RunVorlund(folder, "/convert missing.gpl out.hex");
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Said.find("missing.gpl: cannot be opened"), std::string::npos) << run.Said;

    // 17 colours do not fit a ".pli"; an unknown extension names no format.
    std::string seventeen;
    for (int i = 0; i < 17; ++i) seventeen += "10203" + std::to_string(i % 10) + "\n";
    ASSERT_TRUE(WriteTextFile(folder.File("many.hex"), seventeen));
    run = RunVorlund(folder, "/convert many.hex many.pli");
    EXPECT_EQ(run.ExitCode, 2) << run.Said;
    EXPECT_NE(run.Said.find("many.pli"), std::string::npos) << run.Said;
    run = RunVorlund(folder, "/convert many.hex many.doc");
    EXPECT_EQ(run.ExitCode, 2) << run.Said;

    run = RunVorlund(folder, "/convert many.hex");
    EXPECT_EQ(run.ExitCode, 3);
    EXPECT_NE(run.Said.find("usage"), std::string::npos) << run.Said;

    EXPECT_EQ(FolderFiles(folder), (std::vector<std::string>{"cut.ase", "kept.gpl", "many.hex"}));
}
