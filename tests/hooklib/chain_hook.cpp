// chain_hook.cpp: hooklib_chainhook.dll, a WH_CALLWNDPROC hook for all threads that counts the
// messages it is handed. Installed before skerrow's hook, it sits after it in the chain, so it
// only counts what skerrow's hook passed on.
#include <windows.h>

namespace {
HMODULE gModule = nullptr;
HHOOK gHook = nullptr;
volatile LONG gCalls = 0;
UINT gCounted = 0;

LRESULT CALLBACK CountingHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call && call->message == gCounted) ::InterlockedIncrement(&gCalls);
    return ::CallNextHookEx(gHook, code, wParam, lParam);
}
}  // namespace

extern "C" __declspec(dllexport) int InstallChainHook(UINT counted) {
    gCounted = counted;
    gCalls = 0;
    gHook = ::SetWindowsHookExA(WH_CALLWNDPROC, CountingHook, gModule, 0);
    return gHook != nullptr;
}

extern "C" __declspec(dllexport) void RemoveChainHook() {
    if (gHook) ::UnhookWindowsHookEx(gHook);
    gHook = nullptr;
}

extern "C" __declspec(dllexport) LONG ChainCalls() { return gCalls; }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) gModule = instance;
    return TRUE;
}
