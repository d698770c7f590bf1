// main.cpp: vorlund32.exe, the 32-bit companion of the 64-bit controller. It has no window the
// user sees: a message-only window takes the controller's commands (CompanionLink.h), and the
// 32-bit hook library, loaded from the companion's own folder, installs and removes the hook in
// 32-bit programs. It ends at Exit, and when the controller's process ends in any way (a killed
// controller posts nothing), so a hook never outlives the controller that asked for it.
#include "CompanionLink.h"

#include <string>

namespace {

using TSetHook = std::uint8_t(WINAPI*)(HWND controller);
using TRemoveHook = void(WINAPI*)();

struct TCompanion {
    HWND Controller = nullptr;
    UINT Message = 0;
    TSetHook SetHook = nullptr;
    TRemoveHook RemoveHook = nullptr;
    bool Hooked = false;

    void Install() {
        // SetHook with the controller's window: the hook's notices go to the controller, and the
        // library leaves the controller's settings base and probe record as they are.
        if (!Hooked) Hooked = SetHook(Controller) != 0;
    }
    void Remove() {
        if (Hooked) RemoveHook();
        Hooked = false;
    }
};

TCompanion gCompanion;

LRESULT CALLBACK CompanionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == gCompanion.Message && message != 0) {
        switch (wParam) {
        case kCompanionStart:
        case kCompanionResume:
            gCompanion.Install();
            break;
        case kCompanionSuspend:
            gCompanion.Remove();
            break;
        case kCompanionExit:
            ::PostQuitMessage(0);
            break;
        default:
            break;
        }
        return 0;
    }
    return ::DefWindowProcA(window, message, wParam, lParam);
}

std::string OwnFolder() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::string folder(path, length);
    const std::size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash);
}

template <class T>
T Bind(HMODULE library, const char* name) {
    return reinterpret_cast<T>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

// Runs until Exit (WM_QUIT) or until the controller's process ends. The wait also wakes for
// sent messages: the 64-bit programs' hook calls arrive in this thread and are served inside
// PeekMessageA.
void RunUntilEnd(HANDLE controllerProcess) {
    for (;;) {
        const DWORD woken = ::MsgWaitForMultipleObjects(1, &controllerProcess, FALSE, INFINITE, QS_ALLINPUT);
        if (woken != WAIT_OBJECT_0 + 1) return;  // the controller ended, or the wait failed
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return;
            ::DispatchMessageA(&message);
        }
    }
}

}  // namespace

// Exit codes: 0 ended normally, 1 no controller window on the command line, 2 a companion runs
// already, 3 the controller's process cannot be watched, 4 the library or its exports are
// missing, 5 no message or window.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    const HWND controller = WindowFromCommandLine(commandLine);
    if (controller == nullptr || !::IsWindow(controller)) return 1;

    // Kept open until the process ends; the system closes it then, also when the process is
    // killed.
    const HANDLE single = ::CreateMutexA(nullptr, FALSE, kCompanionMutexName);
    if (single == nullptr || ::GetLastError() == ERROR_ALREADY_EXISTS) return 2;

    DWORD controllerId = 0;
    ::GetWindowThreadProcessId(controller, &controllerId);
    const HANDLE controllerProcess = ::OpenProcess(SYNCHRONIZE, FALSE, controllerId);
    if (controllerProcess == nullptr) return 3;

    const HMODULE library = ::LoadLibraryA((OwnFolder() + "\\" + kCompanionLibrary).c_str());
    if (library == nullptr) return 4;
    gCompanion.Controller = controller;
    gCompanion.SetHook = Bind<TSetHook>(library, "SetHook");
    gCompanion.RemoveHook = Bind<TRemoveHook>(library, "RemoveHook");
    if (gCompanion.SetHook == nullptr || gCompanion.RemoveHook == nullptr) return 4;

    gCompanion.Message = ::RegisterWindowMessageA(kCompanionMessageName);
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = CompanionProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kCompanionWindowClass;
    ::RegisterClassA(&windowClass);
    const HWND window = ::CreateWindowExA(0, kCompanionWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                          instance, nullptr);
    if (gCompanion.Message == 0 || window == nullptr) return 5;

    ::PostMessageA(controller, gCompanion.Message, kCompanionHello, WindowToParam(window));
    RunUntilEnd(controllerProcess);

    gCompanion.Remove();
    ::DestroyWindow(window);
    ::FreeLibrary(library);
    ::CloseHandle(controllerProcess);
    return 0;
}
