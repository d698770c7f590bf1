// Companion.cpp: starting the 32-bit companion and keeping its hook in step (see Companion.h).
#include "Companion.h"

#include "CompanionLink.h"
#include "ControllerState.h"
#include "ScopedHandles.h"

#include <algorithm>
#include <string>

namespace {

#if defined(_WIN64)
bool FileExists(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}
#endif

void Post(unsigned command) {
    if (State.CompanionWindow != nullptr && CompanionMessage() != 0)
        ::PostMessageA(State.CompanionWindow, CompanionMessage(), command, 0);
}

#if defined(_WIN64)
// A pool thread's callback: only posts, the GUI thread does the rest. (A 32-bit controller starts
// no companion.)
void CALLBACK CompanionProcessEnded(void* mainWindow, BOOLEAN) {
    ::PostMessageA(static_cast<HWND>(mainWindow), CompanionMessage(), kCompanionEnded, 0);
}
#endif

// The note goes into a second part at the bar's right end, sized to its text: part 0 keeps the
// palette name and tips it shows at start and later.
void ShowNotServed() {
    TAPIStatusBar* bar = State.MainForm.StatusBar;
    if (bar == nullptr) return;
    SIZE extent{};
    {
        TScopedDC dc(bar->Window);
        if (!dc) return;
        const auto font = reinterpret_cast<HFONT>(::SendMessageA(bar->Window, WM_GETFONT, 0, 0));
        TScopedSelect select(dc, font != nullptr ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
        const std::string text = kNo32BitText;
        ::GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    }
    RECT client{};
    ::GetClientRect(bar->Window, &client);
    // Room for the part's borders and the size grip beside the text.
    const int noteWidth = extent.cx + 4 * ::GetSystemMetrics(SM_CXEDGE) + ::GetSystemMetrics(SM_CXVSCROLL);
    int parts[2] = {std::max<int>(client.right - noteWidth, client.right / 3), -1};
    ::SendMessageA(bar->Window, SB_SETPARTS, 2, reinterpret_cast<LPARAM>(parts));
    bar->SetText(1, kNo32BitText);
}

// Stops the wait and closes the process handle; blocks until a running callback has returned.
void ForgetCompanion() {
    if (State.CompanionWait != nullptr) ::UnregisterWaitEx(State.CompanionWait, INVALID_HANDLE_VALUE);
    State.CompanionWait = nullptr;
    if (State.CompanionProcess != nullptr) ::CloseHandle(State.CompanionProcess);
    State.CompanionProcess = nullptr;
    State.CompanionId = 0;
    State.CompanionWindow = nullptr;
}

}  // namespace

UINT CompanionMessage() {
    static const UINT message = ::RegisterWindowMessageA(kCompanionMessageName);
    return message;
}

bool StartCompanion() {
#if !defined(_WIN64)
    return true;
#else
    // A 64-bit controller runs on 64-bit Windows only; whether that Windows can run 32-bit
    // programs at all (a system without its 32-bit layer) shows in CreateProcessA.
    const std::string program = State.ProgramFolder + "\\" + kCompanionProgram;
    bool started = false;
    if (FileExists(program) && FileExists(State.ProgramFolder + "\\" + kCompanionLibrary)) {
        const auto window = static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(Window()) & 0xFFFFFFFFu);
        std::string commandLine = "\"" + program + "\" " + std::to_string(window);
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        started = ::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                   State.ProgramFolder.c_str(), &startup, &process) != FALSE;
        if (started) {
            ::CloseHandle(process.hThread);
            State.CompanionProcess = process.hProcess;
            State.CompanionId = process.dwProcessId;
            // A companion that starts but cannot run (a system without its 32-bit layer may
            // still create the process) or that is ended later leaves 32-bit programs unserved.
            ::RegisterWaitForSingleObject(&State.CompanionWait, process.hProcess, CompanionProcessEnded,
                                          Window(), INFINITE, WT_EXECUTEONLYONCE);
        }
    }
    if (!started) ShowNotServed();
    return started;
#endif
}

void CompanionMessageArrived(TMessageRecord* message) noexcept {
    if (State.CompanionProcess == nullptr) return;
    if (message->WParam == kCompanionEnded) {
        // Believed only when the process has indeed ended.
        if (::WaitForSingleObject(State.CompanionProcess, 0) != WAIT_OBJECT_0) return;
        ForgetCompanion();
        ShowNotServed();
        return;
    }
    if (message->WParam != kCompanionHello) return;
    const HWND window = ParamToWindow(message->LParam);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    // Anyone may post a registered message: only the companion started here is believed.
    if (process == 0 || process != State.CompanionId) return;
    State.CompanionWindow = window;
    if (State.HookOn) Post(kCompanionStart);
}

void FollowHookState(bool installed) {
    const bool was = State.HookOn;
    State.HookOn = installed;
    if (installed != was) Post(installed ? kCompanionResume : kCompanionSuspend);
}

void EndCompanion() {
    Post(kCompanionExit);
    ForgetCompanion();
}
