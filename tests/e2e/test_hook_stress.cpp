// The hook library in hosts that work it hard: dialogs of two threads at once, a host that opens
// dialog after dialog, several hosts at once, a host killed with its dialog open, random bytes
// over the block, and Suspend and Resume toggled while dialogs come and go. The hosts
// (stress_client.exe) log every fault they see, since Wine swallows faults inside window
// procedures. Each test prints its figures (dialogs taken over per dialogs opened, bytes per
// dialog, lost dialogs, crash log sizes).
#include "DialogHarness.h"
#include "StressHarness.h"

#include <atomic>
#include <memory>
#include <random>
#include <sstream>
#include <thread>

using namespace harness;

namespace {

// The client's palette for thread t (the colours it checks its dialog for).
std::string ThreadPalette(int t) {
    std::string text;
    for (int k = 0; k < 16; ++k)
        text += std::to_string(k) + "=" + ColorText(RGB(10 + k * 15, 250 - k * 12, 3 + t * 40 + k)) + "\r\n";
    return text;
}

long long Now() {
    LARGE_INTEGER now{};
    ::QueryPerformanceCounter(&now);
    return now.QuadPart;
}

// Performance-counter ticks in `ms` milliseconds.
long long Ticks(long long ms) {
    LARGE_INTEGER frequency{};
    ::QueryPerformanceFrequency(&frequency);
    return frequency.QuadPart * ms / 1000;
}

class HookStress : public TDialogSuite {
protected:
    static TStressRun RunStressClient(const std::string& name, const std::string& args, int timeoutMs) {
        TStressClient client(dir_, name, args);
        return client.Finish(timeoutMs);
    }
};

}  // namespace

// Each thread's dialog has its own state: a palette dropped on one loads into that one, and
// neither take-over frees the other's. (The client builds the dialog font's script cache on its
// main thread first: Wine's own race between two threads creating it would hang the host.)
TEST_F(HookStress, TwoThreadsEachGetTheirOwnDropRepeatedly) {
    for (int t = 0; t < 2; ++t) WriteTextFile(Path("p" + std::to_string(t) + ".pli"), ThreadPalette(t));
    const TStressRun run = RunStressClient("threads", "--threads 2 --rounds 4 --palettes \"" + dir_ + "\"", 60000);
    ASSERT_TRUE(run.Exited);
    EXPECT_EQ(run.ExitCode, 0u);
    EXPECT_EQ(run.Crashes, "");
    std::istringstream lines(run.Out);
    int round = 0, thread = 0, results = 0, good = 0;
    std::string verdict;
    while (lines >> round >> thread >> verdict) {
        ++results;
        good += verdict == "good";
        EXPECT_EQ(verdict, "good") << "round " << round << " thread " << thread;
    }
    std::printf("two threads: %d of 8 drops loaded into their own dialog, crash log %zu bytes\n", good,
                run.Crashes.size());
    EXPECT_EQ(results, 8);
    EXPECT_TRUE(WaitFor([] { return lib_.ChkDialog() == 0; }, 5000));
}

// A host that runs for days: dialog after dialog, every one taken over, and nothing it holds grows.
TEST_F(HookStress, AHostOpeningManyDialogsDoesNotGrow) {
    constexpr int kDialogs = 100;
    const TStressRun run = RunStressClient("many", "--dialogs " + std::to_string(kDialogs), 60000);
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
    std::vector<std::unique_ptr<TStressClient>> started;
    for (int p = 0; p < kProcesses; ++p)
        started.push_back(std::make_unique<TStressClient>(dir_, "proc" + std::to_string(p),
                                                          "--dialogs " + std::to_string(kDialogs)));
    for (int p = 0; p < kProcesses; ++p) {
        SCOPED_TRACE("process " + std::to_string(p));
        const TStressRun run = started[static_cast<std::size_t>(p)]->Finish(60000);
        ASSERT_TRUE(run.Exited);
        EXPECT_EQ(run.ExitCode, 0u);
        EXPECT_EQ(run.Crashes, "");
        std::istringstream in(run.Out);
        std::string name;
        int taken = 0;
        in >> name >> taken;
        EXPECT_EQ(taken, kDialogs);
        std::printf("process %d: taken over %d of %d dialogs, crash log %zu bytes\n", p, taken, kDialogs,
                    run.Crashes.size());
    }
    EXPECT_TRUE(WaitFor([] { return lib_.ChkDialog() == 0; }, 5000));
}

// A host killed with its dialog open never counts it out; the count must not keep it, or the
// controller would ask its questions at every Suspend and exit from then on. A live host's dialog
// stays counted meanwhile.
TEST_F(HookStress, AKilledHostsDialogLeavesTheCountButALiveOneStays) {
    TStressClient killed(dir_, "killed", "--hold 1");
    TStressClient living(dir_, "living", "--hold 1");
    ASSERT_NE(killed.WaitForTakenOverDialog(), nullptr);
    const HWND dialog = living.WaitForTakenOverDialog();
    ASSERT_NE(dialog, nullptr);
    // The property comes first in a take-over, the count last.
    EXPECT_TRUE(WaitFor([] { return lib_.ChkDialog() == 2; }, 5000));

    killed.Kill();
    EXPECT_TRUE(WaitFor([] { return lib_.ChkDialog() == 1; }, 5000)) << "count " << int(lib_.ChkDialog());
    EXPECT_EQ(lib_.ChkDialog(), 1) << "asked again, the live dialog is still counted";

    ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    const TStressRun run = living.Finish(15000);
    ASSERT_TRUE(run.Exited);
    EXPECT_EQ(run.ExitCode, 0u);
    EXPECT_EQ(run.Crashes, "");
    EXPECT_TRUE(WaitFor([] { return lib_.ChkDialog() == 0; }, 5000));
}

// Another process writes random bytes over the whole block while one host holds a dialog open
// and another opens dialog after dialog: the hosts keep answering, end their dialogs normally and
// fault nowhere.
TEST_F(HookStress, RandomBytesOverTheBlockCrashAndHangNoHost) {
    TBlockView block;
    ASSERT_TRUE(block);
    const TSharedBlock saved = *block.operator->();
    TStressClient holder(dir_, "noise-held", "--hold 1");
    const HWND held = holder.WaitForTakenOverDialog();
    ASSERT_NE(held, nullptr);
    TStressClient busy(dir_, "noise-busy", "--dialogs 20 --give-up 1000");
    ASSERT_TRUE(busy.Started());

    std::mt19937 random(20261207);
    auto* bytes = reinterpret_cast<unsigned char*>(block.operator->());
    int writes = 0;
    const bool busyEnded = WaitFor([&] {
        for (std::size_t i = 0; i < sizeof(TSharedBlock); ++i) bytes[i] = static_cast<unsigned char>(random());
        ++writes;
        return !busy.Running();
    }, 90000);
    const bool heldAnswers = Answers(held);
    *block.operator->() = saved;
    std::printf("random block writes %d while the hosts ran\n", writes);

    EXPECT_TRUE(busyEnded) << "the busy host hung";
    EXPECT_TRUE(heldAnswers) << "the held dialog's host hung";
    ::PostMessageA(held, WM_COMMAND, IDCANCEL, 0);
    for (TStressClient* host : {&holder, &busy}) {
        const TStressRun run = host->Finish(15000);
        EXPECT_TRUE(run.Exited);
        EXPECT_EQ(run.ExitCode, 0u);
        EXPECT_EQ(run.Crashes, "");
        std::printf("under random block bytes: %s", run.Out.substr(0, run.Out.find('\n') + 1).c_str());
    }
    // The counts the noise left mean nothing; the next test starts from an honest 0.
    StoreDialogCount(*block.operator->(), 0);
}

// The user suspends and resumes again and again while other programs open and close colour
// dialogs: the dialogs opened while the hook is surely on are taken over, and no dialog is lost
// (ended as a probe, or by anyone but its own program) and no host hangs. Three hosts keep
// dialogs starting often enough that some may start while a resume's probe is pending.
TEST_F(HookStress, SuspendAndResumeWhileOtherProgramsOpenDialogsLosesNone) {
    constexpr int kHosts = 3;
    constexpr int kDialogs = 30;
    std::vector<std::unique_ptr<TStressClient>> hosts;
    for (int h = 0; h < kHosts; ++h)
        hosts.push_back(std::make_unique<TStressClient>(
            dir_, "toggle" + std::to_string(h), "--dialogs " + std::to_string(kDialogs) + " --give-up 600 --timeline"));
    auto anyRunning = [&] {
        for (const auto& host : hosts)
            if (host->Running()) return true;
        return false;
    };
    std::vector<std::pair<long long, long long>> on;  // performance-counter spans with the hook on
    long long onSince = Now();
    int toggles = 0;
    const ULONGLONG end = ::GetTickCount64() + 150000;
    // A resume whose probe was taken over as a user's dialog would never return: its modal
    // dialog waits for a user. After 10 s the watchdog ends the dialogs of this process.
    std::atomic<ULONGLONG> resumeSince{0};
    std::atomic<bool> stop{false};
    std::atomic<int> stuckResumes{0};
    std::thread watchdog([&] {
        while (!stop.load()) {
            ::Sleep(200);
            const ULONGLONG since = resumeSince.load();
            if (since == 0 || ::GetTickCount64() - since < 10000) continue;
            ++stuckResumes;
            resumeSince = 0;
            for (HWND w : TopWindows(::GetCurrentProcessId(), "#32770")) ::PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
        }
    });
    while (anyRunning() && ::GetTickCount64() < end) {
        WaitFor([&] { return !anyRunning(); }, 250);
        on.emplace_back(onSince, Now());
        lib_.RemoveHook();
        WaitFor([&] { return !anyRunning(); }, 100);
        resumeSince = ::GetTickCount64();
        const bool resumed = lib_.SetHook(owner_) == 1;
        resumeSince = 0;
        EXPECT_TRUE(resumed);
        onSince = Now();
        ++toggles;
    }
    on.emplace_back(onSince, Now());
    stop = true;
    watchdog.join();
    EXPECT_EQ(stuckResumes.load(), 0) << "a resume's probe was served as a user's dialog";

    // Dialogs that began within 20 ms of a switch are not counted either way: the hook reaches
    // another process's thread at its next call to the server, not at the same instant.
    const long long edge = Ticks(20);
    int dialogs = 0, openedOn = 0, takenOn = 0, lost = 0;
    for (int h = 0; h < kHosts; ++h) {
        SCOPED_TRACE("host " + std::to_string(h));
        const TStressRun run = hosts[static_cast<std::size_t>(h)]->Finish(30000);
        ASSERT_TRUE(run.Exited) << "the host hung";
        EXPECT_EQ(run.ExitCode, 0u);
        EXPECT_EQ(run.Crashes, "");
        std::istringstream lines(run.Out);
        std::string word;
        while (lines >> word) {
            if (word != "dialog") continue;
            long long initAt = 0;
            int taken = 0, wasLost = 0;
            lines >> initAt >> taken >> wasLost;
            ++dialogs;
            lost += wasLost;
            for (const auto& [from, to] : on) {
                if (initAt > from + edge && initAt < to - edge) {
                    ++openedOn;
                    takenOn += taken;
                    if (taken == 0)
                        std::printf("untaken: a dialog began %lld ms after a resume, %lld ms before a suspend\n",
                                    (initAt - from) * 1000 / Ticks(1000), (to - initAt) * 1000 / Ticks(1000));
                }
            }
        }
    }
    std::printf("suspend/resume %d times: %d dialogs, taken over %d of %d opened while the hook was on, lost %d\n",
                toggles, dialogs, takenOn, openedOn, lost);
    EXPECT_EQ(dialogs, kHosts * kDialogs);
    EXPECT_GT(toggles, 2);
    EXPECT_GT(openedOn, 0);
    // Under Wine an occasional dialog that begins well inside a span with the hook on still never
    // reaches the hook procedure (about 1 run in 5 has one or two; the library has no say before
    // its procedure is called). An untaken dialog is an ordinary one, not a lost one.
    EXPECT_GE(takenOn * 10, openedOn * 9) << "dialogs opened while the hook was on were not taken over";
    EXPECT_EQ(lost, 0);
}
