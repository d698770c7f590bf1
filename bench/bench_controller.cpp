// bench_controller.cpp: what a user of the controller waits for, timed from outside the program.
// - controller_start_ms / minimal_start_ms: the real vorlund.exe with a one-palette folder, and a
//   program that shows one plain window (this executable again, with "--minimal"), each started
//   by CreateProcess until its window is visible and has answered a message; medians, same run.
//   The controller starts with the hook suspended; controller_start_hook_on_ms is the same start
//   with the hook on, which installs the hook and runs its probe dialog before the window shows.
// - library_list_10k_ms: the start with a folder of 10,000 palettes minus the start with the
//   small folder: the time the list of names and dates adds.
// - library_sort_10k_ms: the Date header clicked twice (newest first, then oldest first).
// - library_working_set_mb: the controller's working set with that list shown.
// The 10,000-file folder is made here, in the temporary folder, and removed at the end.
#define PSAPI_VERSION 2
#include "Config.h"

#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <functional>
#include <cstdio>
#include <string>
#include <vector>

#include "ControllerHarness.h"

using namespace harness;

namespace {

constexpr int kStartRuns = 9;  // starts swing with the machine: the median of nine holds still
constexpr int kLibraryFiles = 10000;
constexpr DWORD kSlowWaitMs = 600000;  // an unmended list of 10,000 rows takes minutes

double NowMs() {
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// ---------------------------------------------------------------------------------------------
// The minimal program: one plain window, shown, and a message loop until it is closed.
// ---------------------------------------------------------------------------------------------
LRESULT CALLBACK MinimalProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) ::PostQuitMessage(0);
    return ::DefWindowProcA(window, message, wParam, lParam);
}

int RunMinimal() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = MinimalProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "PelmiraBenchMinimal";
    ::RegisterClassA(&windowClass);
    HWND window = ::CreateWindowExA(0, windowClass.lpszClassName, "minimal", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) return 1;
    ::ShowWindow(window, SW_SHOW);
    ::UpdateWindow(window);
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return 0;
}

// A visible top-level window of class `className` in process `pid` that has answered a message.
HWND WaitVisible(DWORD pid, const char* className, const std::function<bool()>& running, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitFor([&] {
        for (HWND w : TopWindows(pid, className))
            if (::IsWindowVisible(w)) found = w;
        return found != nullptr || !running();
    }, timeoutMs, TWait::Tight);
    if (found != nullptr) {
        DWORD_PTR answer = 0;
        ::SendMessageTimeoutA(found, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &answer);
    }
    return found;
}

double MinimalStartMs() {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string commandLine = "\"" + std::string(self) + "\" --minimal";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double start = NowMs();
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    HWND window = WaitVisible(pi.dwProcessId, "PelmiraBenchMinimal",
                              [&] { return ::WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }, kWaitMs);
    const double took = NowMs() - start;
    if (window != nullptr) ::PostMessageA(window, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return window != nullptr ? took : -1;
}

// ---------------------------------------------------------------------------------------------
// The controller
// ---------------------------------------------------------------------------------------------
class TControllerRun {
public:
    TControllerRun(const std::string& palettes, DWORD timeoutMs, bool hookOn = false) {
        if (!InstallController(program_)) return;
        ::CopyFileA((TestFolder() + "\\vorlundLang.ini").c_str(), program_.File("vorlundLang.ini").c_str(), FALSE);
        WriteTextFile(program_.File("vorlund.ini"),
                      "[Pelmira]\r\nX=0\r\nY=0\r\nExtension=1\r\nSuspend=" + std::string(hookOn ? "0" : "1") +
                          "\r\nShow=1\r\n"
                      "[List]\r\nSelect=0\r\n"
                      "[Folder]\r\nEnable=1\r\nCount=1\r\n1=" + palettes + "\r\nSelect=0\r\n");
        const double start = NowMs();
        if (!process_.Start(program_)) return;
        Main = WaitVisible(process_.Id, "Pelmira", [this] { return process_.Running(); }, kWaitMs);
        if (Main == nullptr) return;
        List = ::FindWindowExA(Main, nullptr, WC_LISTVIEWA, nullptr);
        if (List == nullptr || !Sync(timeoutMs)) return;
        StartMs = NowMs() - start;
    }

    ~TControllerRun() {
        if (Main != nullptr) ::PostMessageA(Main, WM_CLOSE, 0, 0);
        process_.WaitExit(10000);
    }

    // Waits until the controller has handled everything posted to it so far (a posted change of
    // the Date column's width closes its queue).
    bool Sync(DWORD timeoutMs) const {
        static int serial = 0;
        const int width = 150 + (++serial % 2);
        ::PostMessageA(List, LVM_SETCOLUMNWIDTH, 1, MAKELPARAM(width, 0));
        return WaitFor([&] { return ::SendMessageA(List, LVM_GETCOLUMNWIDTH, 1, 0) == width; }, timeoutMs, TWait::Tight);
    }

    // One click on the Date header, posted (so that Sync comes after it), until it is handled.
    double ClickDateHeaderMs(int offset) const {
        HWND header = reinterpret_cast<HWND>(::SendMessageA(List, LVM_GETHEADER, 0, 0));
        const int x = static_cast<int>(::SendMessageA(List, LVM_GETCOLUMNWIDTH, 0, 0)) + 20 + offset;
        const double start = NowMs();
        ::PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, 5));
        ::PostMessageA(header, WM_LBUTTONUP, 0, MAKELPARAM(x, 5));
        if (!Sync(kSlowWaitMs)) return -1;
        return NowMs() - start;
    }

    int RowCount() const { return static_cast<int>(::SendMessageA(List, LVM_GETITEMCOUNT, 0, 0)); }

    double WorkingSetMb() const {
        HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, process_.Id);
        if (process == nullptr) return -1;
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        const bool ok = ::K32GetProcessMemoryInfo(process, &counters, sizeof counters) != FALSE;
        ::CloseHandle(process);
        return ok ? static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0) : -1;
    }

    double StartMs = -1;
    HWND Main = nullptr;
    HWND List = nullptr;

private:
    TTempFolder program_{"benchctl"};
    TControllerProcess process_;
};

// Palettes with distinct, shuffled dates, so that a sort by date moves rows.
bool MakePalettes(const TTempFolder& folder, int count) {
    std::string text;
    for (int k = 0; k < 16; ++k) text += std::to_string(k) + "=" + std::to_string(k * 16) + ",0,0\r\n";
    SYSTEMTIME base{};
    base.wYear = 2020;
    base.wMonth = 1;
    base.wDay = 1;
    FILETIME baseTime{};
    ::SystemTimeToFileTime(&base, &baseTime);
    for (int i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "palette%05d.pli", i);
        HANDLE f = ::CreateFileA(folder.File(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (f == INVALID_HANDLE_VALUE) return false;
        DWORD written = 0;
        ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        ULARGE_INTEGER t;
        t.LowPart = baseTime.dwLowDateTime;
        t.HighPart = baseTime.dwHighDateTime;
        // A minute apart, in an order unlike the names'.
        t.QuadPart += static_cast<ULONGLONG>((i * 7919) % count) * 60ULL * 10000000ULL;
        FILETIME ft{t.LowPart, t.HighPart};
        ::SetFileTime(f, nullptr, nullptr, &ft);
        ::CloseHandle(f);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--minimal") return RunMinimal();

    TTempFolder small("benchsmall");
    MakePalettes(small, 1);

    std::vector<double> controller, minimal, hookOn;
    for (int run = 0; run < kStartRuns; ++run) {
        minimal.push_back(MinimalStartMs());
        {
            TControllerRun c(small.Path, kWaitMs);
            controller.push_back(c.StartMs);
        }
        // A user's usual start: the hook goes in (with its probe dialog) before the window shows.
        TControllerRun c(small.Path, kWaitMs, true);
        hookOn.push_back(c.StartMs);
    }
    const double controllerMs = Median(controller);
    const double minimalMs = Median(minimal);
    const double hookOnMs = Median(hookOn);
    std::printf("controller_start_ms: %.1f ms\n", controllerMs);
    std::printf("minimal_start_ms: %.1f ms\n", minimalMs);
    std::printf("controller_start_ratio: %.2f x\n", minimalMs > 0 ? controllerMs / minimalMs : -1.0);
    std::printf("controller_start_hook_on_ms: %.1f ms\n", hookOnMs);
    std::printf("controller_start_hook_on_ratio: %.2f x\n", minimalMs > 0 ? hookOnMs / minimalMs : -1.0);
    std::fflush(stdout);

    TTempFolder big("benchlibrary");
    if (!MakePalettes(big, kLibraryFiles)) {
        std::printf("library_list_10k_ms: -1 ms (the folder could not be made)\n");
        return 1;
    }
    TControllerRun c(big.Path, kSlowWaitMs);
    const int rows = c.RowCount();
    std::printf("library_rows: %d rows\n", rows);
    std::printf("library_list_10k_ms: %.1f ms\n", c.StartMs < 0 ? -1.0 : c.StartMs - controllerMs);
    std::printf("library_working_set_mb: %.1f MB\n", c.WorkingSetMb());
    std::fflush(stdout);
    const double newestFirst = c.ClickDateHeaderMs(0);
    // Away from the first click, so that the header sees no double click.
    const double oldestFirst = c.ClickDateHeaderMs(60);
    std::printf("library_sort_10k_ms: %.1f ms\n", newestFirst < 0 || oldestFirst < 0 ? -1.0 : newestFirst + oldestFirst);
    return 0;
}
