// hook_cost.cpp: what one SendMessageA to a plain window of the calling thread costs with no hook,
// with a do-nothing WH_CALLWNDPROC hook for all threads (the floor), and with skerrow.dll's hook
// installed by its SetHook. Prints the median of several rounds and the ratio library / floor.
// The messages go to an ordinary window, so they take the library hook's common path.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 9;
constexpr double kRoundSeconds = 0.25;

LRESULT CALLBACK PlainProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_USER) return static_cast<LRESULT>(wParam);
    return ::DefWindowProcA(window, message, wParam, lParam);
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double SendSeconds(HWND window, int count) {
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    for (int i = 0; i < count; ++i) ::SendMessageA(window, WM_USER, static_cast<WPARAM>(i), 0);
    ::QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

// Cost per message in microseconds over one round of about kRoundSeconds.
double RoundMicroseconds(HWND window) {
    SendSeconds(window, 50);  // warm-up: first-use work of a hook is not what we measure
    const double estimate = std::max(SendSeconds(window, 100) / 100, 1e-8);
    const int count = std::clamp(static_cast<int>(kRoundSeconds / estimate), 100, 2000000);
    return SendSeconds(window, count) / count * 1e6;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string ModuleFolder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of("\\/") + 1);
}

}  // namespace

int main() {
    const std::string folder = ModuleFolder();
    HMODULE floorDll = ::LoadLibraryA((folder + "bench_floorhook.dll").c_str());
    HMODULE skerrow = ::LoadLibraryA((folder + "skerrow.dll").c_str());
    auto installFloor = reinterpret_cast<int (*)()>(
        reinterpret_cast<void*>(::GetProcAddress(floorDll, "InstallFloorHook")));
    auto removeFloor = reinterpret_cast<void (*)()>(
        reinterpret_cast<void*>(::GetProcAddress(floorDll, "RemoveFloorHook")));
    using TSetHook = BYTE(WINAPI*)(HWND);
    using TRemoveHook = void(WINAPI*)();
    auto setHook = reinterpret_cast<TSetHook>(reinterpret_cast<void*>(::GetProcAddress(skerrow, "SetHook")));
    auto removeHook =
        reinterpret_cast<TRemoveHook>(reinterpret_cast<void*>(::GetProcAddress(skerrow, "RemoveHook")));
    if (!installFloor || !removeFloor || !setHook || !removeHook) {
        std::printf("bench_floorhook.dll or skerrow.dll is missing or lacks its exports.\n");
        return 1;
    }

    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = PlainProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "PelmiraBenchPlain";
    ::RegisterClassA(&windowClass);
    // The controller's stand-in: SetHook needs an owner window; the messages go to a second one.
    HWND owner = ::CreateWindowExA(0, "PelmiraBenchPlain", "bench owner", WS_OVERLAPPEDWINDOW, 0, 0,
                                   100, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    HWND plain = ::CreateWindowExA(0, "PelmiraBenchPlain", "bench", WS_OVERLAPPEDWINDOW, 0, 0, 100,
                                   100, nullptr, nullptr, windowClass.hInstance, nullptr);

    // The rounds of the three cases alternate, so that a machine whose speed drifts (other work
    // on it) affects them alike; the ratio is also taken round by round.
    std::vector<double> none, floorCost, library, ratio;
    for (int round = 0; round < kRounds; ++round) {
        none.push_back(RoundMicroseconds(plain));

        if (!installFloor()) {
            std::printf("The do-nothing hook could not be installed.\n");
            return 1;
        }
        floorCost.push_back(RoundMicroseconds(plain));
        removeFloor();

        if (!setHook(owner)) {
            std::printf("SetHook failed.\n");
            return 1;
        }
        library.push_back(RoundMicroseconds(plain));
        removeHook();
        ratio.push_back(library.back() / floorCost.back());
    }

    // Drain what the hook posted to the owner while it was installed.
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
    ::DestroyWindow(plain);
    ::DestroyWindow(owner);

    std::printf("SendMessageA to a plain window, median of %d rounds (microseconds per message):\n",
                kRounds);
    std::printf("  no hook                   %10.3f\n", Median(none));
    std::printf("  do-nothing hook (floor)   %10.3f\n", Median(floorCost));
    std::printf("  skerrow.dll hook          %10.3f\n", Median(library));
    std::printf("  ratio skerrow / floor     %10.3f  (median of the per-round ratios)\n", Median(ratio));
    // The same ratio as one "name: value unit" line, like every other bench figure.
    std::printf("hook_ratio: %.3f x\n", Median(ratio));
    return 0;
}
