// StressHarness.h: stress_client.exe (clients/StressClient.cpp) started from a test program, its
// output and its fault log read back when it ends. The client logs every fault it sees itself,
// since Wine swallows faults inside window procedures and the exit code alone would not show them.
#pragma once

#include "Config.h"
#include "TestFiles.h"
#include "TestWait.h"
#include "WindowTestSupport.h"

#include <string>
#include <vector>

namespace harness {

// Whether the window's thread answers a sent message within 5 s (its program has not hung).
inline bool Answers(HWND window) {
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer) != 0;
}

struct TStressRun {
    bool Exited = false;
    DWORD ExitCode = STILL_ACTIVE;
    std::string Out;
    std::string Crashes;
};

class TStressClient {
public:
    // Starts the client with `args`; its output and fault log go to `folder`\`name`.out/.crash.
    TStressClient(const std::string& folder, const std::string& name, const std::string& args) {
        out_ = folder + "\\" + name + ".out";
        crashes_ = folder + "\\" + name + ".crash";
        ::DeleteFileA(out_.c_str());
        ::DeleteFileA(crashes_.c_str());
        std::string command = "\"" + TestFolder() + "\\stress_client.exe\" " + args + " --out \"" + out_ +
                              "\" --crash-log \"" + crashes_ + "\"";
        std::vector<char> line(command.begin(), command.end());
        line.push_back('\0');
        STARTUPINFOA si{};
        si.cb = sizeof si;
        started_ = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi_) != FALSE;
    }
    ~TStressClient() {
        if (!started_) return;
        if (Running()) ::TerminateProcess(pi_.hProcess, 9);
        ::CloseHandle(pi_.hThread);
        ::CloseHandle(pi_.hProcess);
    }
    TStressClient(const TStressClient&) = delete;
    TStressClient& operator=(const TStressClient&) = delete;

    bool Started() const { return started_; }
    bool Running() const { return started_ && ::WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

    // The client's colour dialog once it carries the take-over property (--hold); null when none
    // does within the time.
    HWND WaitForTakenOverDialog(int timeoutMs = 30000) const {
        HWND found = nullptr;
        WaitFor([&] {
            for (HWND w : TopWindows(pi_.dwProcessId, "#32770"))
                if (::GetPropA(w, "Ostvarin") != nullptr) found = w;
            return found != nullptr || !Running();
        }, timeoutMs);
        return found;
    }

    void Kill() {
        if (Running()) ::TerminateProcess(pi_.hProcess, 9);
        ::WaitForSingleObject(pi_.hProcess, 10000);
    }

    // Waits for the client to end on its own (ended by force after `timeoutMs`).
    TStressRun Finish(int timeoutMs) {
        TStressRun run;
        if (!started_) return run;
        run.Exited = WaitFor([&] { return !Running(); }, timeoutMs);
        if (!run.Exited) Kill();
        ::GetExitCodeProcess(pi_.hProcess, &run.ExitCode);
        ReadTextFile(out_, run.Out);
        ReadTextFile(crashes_, run.Crashes);
        return run;
    }

private:
    std::string out_;
    std::string crashes_;
    PROCESS_INFORMATION pi_{};
    bool started_ = false;
};

}  // namespace harness
