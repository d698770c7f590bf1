// floor_hook.cpp: bench_floorhook.dll, a WH_CALLWNDPROC hook for all threads that only passes
// each call on. What a hook costs before it does any work of its own.
#include <windows.h>

namespace {
HMODULE gModule = nullptr;
HHOOK gHook = nullptr;

LRESULT CALLBACK FloorHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    return ::CallNextHookEx(gHook, code, wParam, lParam);
}
}  // namespace

extern "C" __declspec(dllexport) int InstallFloorHook() {
    gHook = ::SetWindowsHookExA(WH_CALLWNDPROC, FloorHook, gModule, 0);
    return gHook != nullptr;
}

extern "C" __declspec(dllexport) void RemoveFloorHook() {
    if (gHook) ::UnhookWindowsHookEx(gHook);
    gHook = nullptr;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) gModule = instance;
    return TRUE;
}
