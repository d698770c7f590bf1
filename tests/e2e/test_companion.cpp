// The companion that serves 32-bit programs, run here as its x86_64 build (only 64-bit programs
// run on the test machines): the controller starts it from its own folder, beside the library
// under the companion's file name, which here is a copy of the 64-bit library. Whether the
// companion's hook is installed shows in a fresh process, into which an installed hook maps that
// library. The 32-bit builds themselves are checked in the package test.
#include <gtest/gtest.h>

#include "CompanionLink.h"
#include "ControllerHarness.h"

#include <commctrl.h>

using namespace harness;

namespace {

// Exit code of a new hooked_module_check.exe: 1 when a hook mapped `library` into it.
DWORD ModuleCheck(const std::string& library) {
    std::string commandLine = "\"" + TestFolder() + "\\hooked_module_check.exe\" " + library;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return 99;
    ::CloseHandle(pi.hThread);
    DWORD code = 98;
    if (::WaitForSingleObject(pi.hProcess, kWaitMs) == WAIT_OBJECT_0) ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hProcess);
    return code;
}

bool CompanionHooked() { return ModuleCheck(kCompanionLibrary) == 1; }

HWND FindCompanionWindow() { return ::FindWindowExA(HWND_MESSAGE, nullptr, kCompanionWindowClass, nullptr); }

// Starts `program` with `arguments` and answers its exit code, or -1 when it is still running
// after the wait.
long RunToEnd(const std::string& program, const std::string& arguments) {
    std::string commandLine = "\"" + program + "\" " + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -2;
    ::CloseHandle(pi.hThread);
    long result = -1;
    if (::WaitForSingleObject(pi.hProcess, kWaitMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        ::GetExitCodeProcess(pi.hProcess, &code);
        result = static_cast<long>(code);
    } else {
        ::TerminateProcess(pi.hProcess, 97);
    }
    ::CloseHandle(pi.hProcess);
    return result;
}

const std::string kNo32BitText = "32-bit programs are not served.";

// Whether the status bar shows the note in a second part. Part texts of another process's bar
// are read by length only (SB_GETTEXTA would need a buffer in that process); part 0 through
// WM_GETTEXT.
bool NoteShown(HWND mainWindow) {
    const HWND bar = FindChild(mainWindow, [](HWND w) { return ClassOf(w) == "msctls_statusbar32"; });
    if (bar == nullptr) return false;
    DWORD_PTR parts = 0, length = 0;
    ::SendMessageTimeoutA(bar, SB_GETPARTS, 0, 0, SMTO_ABORTIFHUNG, 5000, &parts);
    if (parts < 2) return false;
    ::SendMessageTimeoutA(bar, SB_GETTEXTLENGTHA, 1, 0, SMTO_ABORTIFHUNG, 5000, &length);
    return LOWORD(length) == kNo32BitText.size() && TextOf(bar).find(kNo32BitText) == std::string::npos;
}

class Companion : public ::testing::Test {
protected:
    void SetUp() override {
        // A companion left over from an earlier program ends with its controller; wait for that.
        ASSERT_TRUE(WaitFor([] { return FindCompanionWindow() == nullptr; })) << "an earlier companion still runs";
        ASSERT_TRUE(InstallController(folder_));
    }

    void TearDown() override {
        if (companion_ != nullptr) {
            if (::WaitForSingleObject(companion_, 0) == WAIT_TIMEOUT) ::TerminateProcess(companion_, 96);
            ::CloseHandle(companion_);
        }
    }

    bool InstallCompanion(bool withLibrary = true) {
        const std::string bin = TestFolder();
        if (!::CopyFileA((bin + "\\vorlund32.exe").c_str(), (folder_.Path + "\\" + kCompanionProgram).c_str(), FALSE))
            return false;
        return !withLibrary || ::CopyFileA((bin + "\\skerrow.dll").c_str(),
                                           (folder_.Path + "\\" + kCompanionLibrary).c_str(), FALSE) != FALSE;
    }

    // Starts the controller and waits for its main window and, when `expectCompanion`, for the
    // companion's window, whose process is then held in companion_.
    void StartController(bool expectCompanion = true) {
        ASSERT_TRUE(controller_.Start(folder_));
        main_ = WaitForMainWindow(controller_);
        ASSERT_NE(main_, nullptr);
        if (!expectCompanion) return;
        HWND window = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (window = FindCompanionWindow()) != nullptr; })) << "the companion started";
        companionWindow_ = window;
        companion_ = ::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, ProcessOf(window));
        ASSERT_NE(companion_, nullptr);
        EXPECT_NE(ProcessOf(window), controller_.Id) << "a process of its own";
    }

    bool CompanionEnded(DWORD timeoutMs = kWaitMs) const {
        return ::WaitForSingleObject(companion_, timeoutMs) == WAIT_OBJECT_0;
    }

    TTempFolder folder_;
    TControllerProcess controller_;
    HWND main_ = nullptr;
    HWND companionWindow_ = nullptr;
    HANDLE companion_ = nullptr;
};

}  // namespace

TEST_F(Companion, InstallsAndRemovesItsHookWithTheControllersAndEndsAtExit) {
    ASSERT_TRUE(InstallCompanion());
    ASSERT_NO_FATAL_FAILURE(StartController());
    EXPECT_FALSE(NoteShown(main_));

    EXPECT_TRUE(WaitFor(CompanionHooked)) << "started with the controller's hook on";

    ::PostMessageA(main_, WM_COMMAND, kCmdSuspend, 0);
    EXPECT_TRUE(WaitFor([] { return !CompanionHooked(); })) << "Suspend removes the companion's hook";
    ::PostMessageA(main_, WM_COMMAND, kCmdSuspend, 0);
    EXPECT_TRUE(WaitFor(CompanionHooked)) << "resuming installs it again";

    // The controller's own hook is unaffected by the companion's: both are in place together.
    EXPECT_EQ(ModuleCheck("skerrow.dll"), 1u);

    EXPECT_EQ(CloseController(controller_, main_), 0);
    ASSERT_TRUE(CompanionEnded()) << "Exit ends the companion";
    DWORD code = 1234;
    ::GetExitCodeProcess(companion_, &code);
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(CompanionHooked()) << "no hook outlives the companion";
}

TEST_F(Companion, StartedWhileSuspendedInstallsNothingUntilResumed) {
    ASSERT_TRUE(InstallCompanion());
    // The saved options start the controller suspended.
    ASSERT_TRUE(::WritePrivateProfileStringA("Pelmira", "Suspend", "1", (folder_.Path + "\\vorlund.ini").c_str()));
    ASSERT_NO_FATAL_FAILURE(StartController());
    // The companion's hello has been answered (or not) once the controller handled a message
    // sent after it.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &answer);
    EXPECT_FALSE(CompanionHooked());
    ::PostMessageA(main_, WM_COMMAND, kCmdSuspend, 0);
    EXPECT_TRUE(WaitFor(CompanionHooked));
    EXPECT_EQ(CloseController(controller_, main_), 0);
}

TEST_F(Companion, EndsWhenTheControllerIsKilled) {
    ASSERT_TRUE(InstallCompanion());
    ASSERT_NO_FATAL_FAILURE(StartController());
    ASSERT_TRUE(WaitFor(CompanionHooked));
    // Suspended first: under Wine 8 a hook of this stand-in library was seen to stay in the
    // server after a controller was killed with the companion's hook on (a companion that
    // removes its hook and ends), and it would then take over the colour dialogs of every later
    // test program of the session. Every other test here ends its controller by closing it.
    ::PostMessageA(main_, WM_COMMAND, kCmdSuspend, 0);
    ASSERT_TRUE(WaitFor([] { return !CompanionHooked(); }));
    const HANDLE controller = ::OpenProcess(PROCESS_TERMINATE, FALSE, controller_.Id);
    ASSERT_NE(controller, nullptr);
    ASSERT_TRUE(::TerminateProcess(controller, 9));
    ::CloseHandle(controller);
    EXPECT_TRUE(CompanionEnded()) << "a killed controller posts nothing: the companion watches its process";
}

TEST_F(Companion, OneThatEndsOnItsOwnIsShownInTheStatusBar) {
    ASSERT_TRUE(InstallCompanion());
    ASSERT_NO_FATAL_FAILURE(StartController());
    ASSERT_TRUE(WaitFor(CompanionHooked));
    EXPECT_FALSE(NoteShown(main_));

    // A spoofed notice while the companion still runs changes nothing.
    ::PostMessageA(main_, ::RegisterWindowMessageA(kCompanionMessageName), kCompanionEnded, 0);
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(main_, WM_NULL, 0, 0, SMTO_NORMAL, kWaitMs, &answer);
    EXPECT_FALSE(NoteShown(main_));

    // Ended while suspended, for the reason given in the test of a killed controller.
    ::PostMessageA(main_, WM_COMMAND, kCmdSuspend, 0);
    ASSERT_TRUE(WaitFor([] { return !CompanionHooked(); }));
    ASSERT_TRUE(::TerminateProcess(companion_, 7));
    EXPECT_TRUE(WaitFor([&] { return NoteShown(main_); }));
    EXPECT_TRUE(controller_.Running());
    ::PostMessageA(main_, WM_COMMAND, kCmdSuspend, 0);
    EXPECT_EQ(CloseController(controller_, main_), 0) << "the hook switches and the exit go on without it";
}

TEST_F(Companion, ASecondCompanionAndBadCommandLinesLeaveAtOnce) {
    ASSERT_TRUE(InstallCompanion());
    ASSERT_NO_FATAL_FAILURE(StartController());
    const std::string program = folder_.Path + "\\" + kCompanionProgram;
    const std::string window = std::to_string(reinterpret_cast<ULONG_PTR>(main_));

    EXPECT_EQ(RunToEnd(program, window), 2) << "a companion runs already";
    EXPECT_FALSE(CompanionEnded(0)) << "the first one goes on";
    EXPECT_EQ(FindCompanionWindow(), companionWindow_);

    for (const char* bad : {"", "0", "-5", "12abc", "notanumber", "4294967296"})
        EXPECT_EQ(RunToEnd(program, bad), 1) << '"' << bad << '"';
    // A number that is no window.
    EXPECT_EQ(RunToEnd(program, "4294967294"), 1);
    EXPECT_EQ(CloseController(controller_, main_), 0);
}

TEST_F(Companion, MissingCompanionOrLibraryIsShownInTheStatusBar) {
    {
        SCOPED_TRACE("no companion");
        ASSERT_NO_FATAL_FAILURE(StartController(false));
        EXPECT_TRUE(NoteShown(main_));
        EXPECT_EQ(FindCompanionWindow(), nullptr);
        EXPECT_EQ(CloseController(controller_, main_), 0) << "works as before otherwise";
    }
    {
        SCOPED_TRACE("companion without its library");
        ASSERT_TRUE(InstallCompanion(false));
        TControllerProcess second;
        ASSERT_TRUE(second.Start(folder_));
        const HWND main = WaitForMainWindow(second);
        ASSERT_NE(main, nullptr);
        EXPECT_TRUE(NoteShown(main));
        EXPECT_EQ(FindCompanionWindow(), nullptr);
        EXPECT_EQ(CloseController(second, main), 0);
    }
}
