// The hook library in a host that works it hard: dialogs of two threads at once, and a host that
// opens dialog after dialog. The host (stress_client.exe) logs every fault it sees, since Wine
// swallows faults inside window procedures.
#include "DialogHarness.h"

#include <sstream>

using namespace harness;

namespace {

struct TRun {
    bool Exited = false;
    DWORD ExitCode = STILL_ACTIVE;
    std::string Out;
    std::string Crashes;
};

// The client's palette for thread t (the colours it checks its dialog for).
std::string ThreadPalette(int t) {
    std::string text;
    for (int k = 0; k < 16; ++k)
        text += std::to_string(k) + "=" + ColorText(RGB(10 + k * 15, 250 - k * 12, 3 + t * 40 + k)) + "\r\n";
    return text;
}

class HookStress : public TDialogSuite {
protected:
    // A stress client started with `args`, its output and crash log named after `name`.
    struct TStarted {
        std::string Out;
        std::string Crashes;
        PROCESS_INFORMATION Process{};
        bool Started = false;
    };

    static TStarted StartStressClient(const std::string& name, const std::string& args) {
        TStarted started;
        started.Out = Path(name + ".out");
        started.Crashes = Path(name + ".crash");
        ::DeleteFileA(started.Out.c_str());
        ::DeleteFileA(started.Crashes.c_str());
        std::string command = "\"" + TestFolder() + "\\stress_client.exe\" " + args + " --out \"" + started.Out +
                              "\" --crash-log \"" + started.Crashes + "\"";
        std::vector<char> line(command.begin(), command.end());
        line.push_back('\0');
        STARTUPINFOA si{};
        si.cb = sizeof si;
        started.Started =
            ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &started.Process) != FALSE;
        return started;
    }

    // Waits for the client to end on its own (ended by force after `timeoutMs`).
    static TRun FinishStressClient(TStarted& started, int timeoutMs) {
        TRun run;
        if (!started.Started) return run;
        const HANDLE process = started.Process.hProcess;
        run.Exited = WaitFor([&] { return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }, timeoutMs);
        if (!run.Exited) ::TerminateProcess(process, 9);
        ::GetExitCodeProcess(process, &run.ExitCode);
        ::CloseHandle(started.Process.hThread);
        ::CloseHandle(process);
        ReadTextFile(started.Out, run.Out);
        ReadTextFile(started.Crashes, run.Crashes);
        return run;
    }

    static TRun RunStressClient(const std::string& name, const std::string& args, int timeoutMs) {
        TStarted started = StartStressClient(name, args);
        return FinishStressClient(started, timeoutMs);
    }
};

}  // namespace

// Each thread's dialog has its own state: a palette dropped on one loads into that one, and
// neither take-over frees the other's.
// Not part of the regular run: Wine 8's gdi32 keeps one script cache list per font, and two threads
// that create the first cache for the same font at once leave a freed entry in it; the host's edit
// boxes then hang, hook or no hook. The client keeps a dialog open to build that cache first, which
// is enough on a warm prefix but not always on a fresh one (a hung host is killed with its dialogs
// still counted, which also upsets the tests after it). Run it with --gtest_also_run_disabled_tests.
TEST_F(HookStress, DISABLED_TwoThreadsEachGetTheirOwnDropRepeatedly) {
    for (int t = 0; t < 2; ++t) WriteTextFile(Path("p" + std::to_string(t) + ".pli"), ThreadPalette(t));
    const TRun run = RunStressClient("threads", "--threads 2 --rounds 4 --palettes \"" + dir_ + "\"", 60000);
    ASSERT_TRUE(run.Exited);
    EXPECT_EQ(run.ExitCode, 0u);
    EXPECT_EQ(run.Crashes, "");
    std::istringstream lines(run.Out);
    int round = 0, thread = 0, results = 0;
    std::string verdict;
    while (lines >> round >> thread >> verdict) {
        ++results;
        EXPECT_EQ(verdict, "good") << "round " << round << " thread " << thread;
    }
    EXPECT_EQ(results, 8);
    EXPECT_TRUE(WaitFor([] { return lib_.ChkDialog() == 0; }, 5000));
}

// A host that runs for days: dialog after dialog, every one taken over, and nothing it holds grows.
TEST_F(HookStress, AHostOpeningManyDialogsDoesNotGrow) {
    constexpr int kDialogs = 100;
    const TRun run = RunStressClient("many", "--dialogs " + std::to_string(kDialogs), 60000);
    ASSERT_TRUE(run.Exited);
    EXPECT_EQ(run.ExitCode, 0u);
    EXPECT_EQ(run.Crashes, "");
    std::istringstream in(run.Out);
    std::string name;
    int taken = 0;
    long long heap0 = 0, heap1 = 0;
    long gdi0 = 0, gdi1 = 0, windows0 = 0, windows1 = 0, handles0 = 0, handles1 = 0;
    in >> name >> taken >> name >> heap0 >> heap1 >> name >> gdi0 >> gdi1 >> name >> windows0 >> windows1 >> name >>
        handles0 >> handles1;
    EXPECT_EQ(taken, kDialogs);
    const int measured = kDialogs - kDialogs / 5;
    std::printf("dialogs %d taken %d; over the last %d: heap %lld bytes (%lld per dialog), gdi %ld, windows %ld, "
                "handles %ld\n",
                kDialogs, taken, measured, heap1 - heap0, (heap1 - heap0) / measured, gdi1 - gdi0, windows1 - windows0,
                handles1 - handles0);
    // The heap may settle by a few blocks (caches of the runtime and of Wine); a leak per dialog
    // of even 16 bytes would show as 1280 over the measured dialogs.
    EXPECT_LT(heap1 - heap0, 1024) << "heap bytes grew";
    EXPECT_LE(gdi1, gdi0);
    EXPECT_LE(windows1, windows0);
    EXPECT_LE(handles1, handles0);
}

// Several programs open and close dialogs at the same moment: every dialog is taken over, none
// crashes its host, and the count of open dialogs is back at 0 when they are all gone.
TEST_F(HookStress, ConcurrentProcessesTakeOverEveryDialogAndCountBackToZero) {
    constexpr int kProcesses = 4;
    constexpr int kDialogs = 5;
    std::vector<TStarted> started;
    for (int p = 0; p < kProcesses; ++p)
        started.push_back(StartStressClient("proc" + std::to_string(p), "--dialogs " + std::to_string(kDialogs)));
    for (int p = 0; p < kProcesses; ++p) {
        SCOPED_TRACE("process " + std::to_string(p));
        const TRun run = FinishStressClient(started[static_cast<std::size_t>(p)], 60000);
        ASSERT_TRUE(run.Exited);
        EXPECT_EQ(run.ExitCode, 0u);
        EXPECT_EQ(run.Crashes, "");
        std::istringstream in(run.Out);
        std::string name;
        int taken = 0;
        in >> name >> taken;
        EXPECT_EQ(taken, kDialogs);
    }
    EXPECT_TRUE(WaitFor([] { return lib_.ChkDialog() == 0; }, 5000));
}
