// bench_footprint.cpp: what skerrow.dll's hook costs a program that never shows a colour dialog.
// A plain program (this executable started again with "--plain") makes one window and handles
// its first 20 messages, then reports the modules it has loaded, its working set and how long
// those 20 messages took. It runs several times with no hook and several times while skerrow.dll's
// hook is installed (this process plays the controller), and both are printed side by side as
// "name: value unit" lines, with the modules that the hook added by name.
//
// The library measured is the one users get when `make dist` has made it (the stripped Release
// build in build/dist-unpacked/x64), else the test tree's own beside this program (a debug build,
// several MB, whose mapping weighs more); a path given as the only argument wins. The first line
// says which file was measured and its size.
#define PSAPI_VERSION 2  // the K32 functions of kernel32: psapi.dll would be one more module
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr int kMessages = 20;
constexpr DWORD kChildTimeoutMs = 60000;

// ---------------------------------------------------------------------------------------------
// The plain program
// ---------------------------------------------------------------------------------------------
int gSeen = 0;

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++gSeen;
    return ::DefWindowProcA(window, message, wParam, lParam);
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    return text;
}

// Prints one line: "<microseconds> <working set bytes> <module> <module> ...".
int RunPlain() {
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PelmiraFootprintPlain";
    ::RegisterClassA(&windowClass);
    // Creating the window sends its first messages (WM_GETMINMAXINFO, WM_NCCREATE, WM_NCCALCSIZE,
    // WM_CREATE); the rest are sent as a program's own would be.
    HWND window = ::CreateWindowExA(0, windowClass.lpszClassName, "plain", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
    if (window == nullptr) return 1;
    while (gSeen < kMessages) ::SendMessageA(window, WM_USER, 0, 0);
    ::QueryPerformanceCounter(&end);

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &memory, sizeof memory);

    HMODULE modules[1024];
    DWORD bytes = 0;
    ::EnumProcessModules(::GetCurrentProcess(), modules, sizeof modules, &bytes);
    std::printf("%.0f %llu", Seconds(start, end) * 1e6, static_cast<unsigned long long>(memory.WorkingSetSize));
    for (DWORD i = 0; i < bytes / sizeof(HMODULE) && i < 1024; ++i) {
        char name[MAX_PATH] = {};
        ::GetModuleBaseNameA(::GetCurrentProcess(), modules[i], name, MAX_PATH);
        std::printf(" %s", Lower(name).c_str());
    }
    std::printf("\n");
    ::DestroyWindow(window);
    return 0;
}

// ---------------------------------------------------------------------------------------------
// The bench
// ---------------------------------------------------------------------------------------------
struct TRun {
    double Microseconds = 0;
    double WorkingSet = 0;
    std::set<std::string> Modules;
};

std::string ModulePath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// Keeps the caller's own messages flowing while it waits: the hook posts to the owner window.
void Pump() {
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
}

bool RunChild(TRun& run) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return false;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    std::string command = "\"" + ModulePath() + "\" --plain";
    PROCESS_INFORMATION process{};
    const bool started = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                          &startup, &process) != FALSE;
    ::CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[4096];
        DWORD read = 0;
        while (::ReadFile(readEnd, buffer, sizeof buffer, &read, nullptr) && read > 0) output.append(buffer, read);
        while (::MsgWaitForMultipleObjects(1, &process.hProcess, FALSE, kChildTimeoutMs, QS_ALLINPUT) ==
               WAIT_OBJECT_0 + 1)
            Pump();
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(readEnd);
    std::istringstream fields(output);
    unsigned long long workingSet = 0;
    if (!(fields >> run.Microseconds >> workingSet)) return false;
    run.WorkingSet = static_cast<double>(workingSet);
    for (std::string name; fields >> name;) run.Modules.insert(name);
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct TSummary {
    double Milliseconds;
    double WorkingSetMB;
    std::set<std::string> Modules;  // of the last run
};

bool Measure(TSummary& summary) {
    std::vector<double> times, sets;
    TRun run;
    for (int i = 0; i < kRuns; ++i) {
        run = TRun{};
        if (!RunChild(run)) return false;
        times.push_back(run.Microseconds / 1000);
        sets.push_back(run.WorkingSet / (1024 * 1024));
    }
    summary = TSummary{Median(times), Median(sets), run.Modules};
    return true;
}

bool IsFile(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The library to measure, as the file comment says; `folder` is this program's, ending in "\".
std::string LibraryPath(const std::string& folder, int argc, char** argv) {
    if (argc > 1) return argv[1];
    const std::string packaged = folder + "..\\..\\dist-unpacked\\x64\\pelmira-x64\\skerrow.dll";
    return IsFile(packaged) ? packaged : folder + "skerrow.dll";
}

unsigned long long FileBytes(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::string Joined(const std::set<std::string>& names) {
    std::string text;
    for (const auto& n : names) text += (text.empty() ? "" : " ") + n;
    return text.empty() ? "none" : text;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--plain") return RunPlain();

    const std::string self = ModulePath();
    const std::string folder = self.substr(0, self.find_last_of("\\/") + 1);
    const std::string library = LibraryPath(folder, argc, argv);
    HMODULE skerrow = ::LoadLibraryA(library.c_str());
    using TSetHook = BYTE(WINAPI*)(HWND);
    using TRemoveHook = void(WINAPI*)();
    auto setHook = skerrow ? reinterpret_cast<TSetHook>(reinterpret_cast<void*>(::GetProcAddress(skerrow, "SetHook")))
                           : nullptr;
    auto removeHook = skerrow ? reinterpret_cast<TRemoveHook>(
                                    reinterpret_cast<void*>(::GetProcAddress(skerrow, "RemoveHook")))
                              : nullptr;
    if (setHook == nullptr || removeHook == nullptr) {
        std::printf("%s is missing or lacks its exports.\n", library.c_str());
        return 1;
    }

    TSummary plain{}, hooked{};
    if (!Measure(plain)) {
        std::printf("The plain program did not report.\n");
        return 1;
    }
    // The controller's stand-in: SetHook needs an owner window for its notifications.
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PelmiraFootprintOwner";
    ::RegisterClassA(&windowClass);
    HWND owner = ::CreateWindowExA(0, windowClass.lpszClassName, "footprint owner", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                   100, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!setHook(owner)) {
        std::printf("SetHook failed.\n");
        return 1;
    }
    const bool measured = Measure(hooked);
    removeHook();
    Pump();
    ::DestroyWindow(owner);
    if (!measured) {
        std::printf("The hooked program did not report.\n");
        return 1;
    }

    std::set<std::string> added;
    for (const auto& m : hooked.Modules)
        if (plain.Modules.count(m) == 0) added.insert(m);

    std::printf("library: %s (%llu bytes)\n", library.c_str(), FileBytes(library));
    std::printf("A program's first %d messages, median of %d runs, without and with the hook:\n", kMessages, kRuns);
    std::printf("modules_plain: %zu modules\n", plain.Modules.size());
    std::printf("modules_hooked: %zu modules\n", hooked.Modules.size());
    std::printf("modules_added: %zu modules (%s)\n", added.size(), Joined(added).c_str());
    std::printf("working_set_plain: %.1f MB\n", plain.WorkingSetMB);
    std::printf("working_set_hooked: %.1f MB\n", hooked.WorkingSetMB);
    std::printf("working_set_added: %.1f MB\n", hooked.WorkingSetMB - plain.WorkingSetMB);
    std::printf("first_messages_plain: %.2f ms\n", plain.Milliseconds);
    std::printf("first_messages_hooked: %.2f ms\n", hooked.Milliseconds);
    return 0;
}
