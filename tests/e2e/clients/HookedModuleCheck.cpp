// HookedModuleCheck: hooked_module_check.exe <file name>. A fresh process that handles a few
// messages of a window of its own, so that every system-wide WH_CALLWNDPROC hook installed at
// that moment is called in it and its library mapped, then answers with its exit code whether
// a module of that file name is loaded: 1 yes, 0 no, 2 bad arguments.
#include "Config.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    if (commandLine == nullptr || *commandLine == '\0') return 2;
    const HWND window = ::CreateWindowExA(0, "STATIC", "hooked module check", WS_OVERLAPPED, 0, 0, 40, 40,
                                          nullptr, nullptr, instance, nullptr);
    if (window == nullptr) return 2;
    for (int i = 0; i < 5; ++i) {
        ::SendMessageA(window, WM_NULL, 0, 0);
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageA(&message);
        ::Sleep(20);
    }
    const bool loaded = ::GetModuleHandleA(commandLine) != nullptr;
    ::DestroyWindow(window);
    return loaded ? 1 : 0;
}
