// Library.cpp: process attach and detach of skerrow.dll. Only what attach and detach require
// happens here (under the loader lock); everything else waits for first use.
#include "Library.h"

#include "HookBlock.h"
#include "ThreadPrimitives.h"

#include <delayimp.h>

#include <atomic>
#include <string>

namespace {
HMODULE gModule = nullptr;
HANDLE gSection = nullptr;
std::atomic<bool> gInstalledHere{false};
std::atomic<bool> gProbeOwnedHere{false};

// The common-control, common-dialog and shell libraries are delay-loaded (the build links them
// so): a program whose colour dialog is never taken over maps none of them. When one is needed,
// it comes from the system folder only, never from the folder or current directory of the
// program the library was mapped into.
FARPROC WINAPI LoadFromSystemFolder(unsigned notification, PDelayLoadInfo info) noexcept {
    if (notification != dliNotePreLoadLibrary || info == nullptr || info->szDll == nullptr) return nullptr;
    HMODULE module = ::LoadLibraryExA(info->szDll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (module == nullptr && ::GetLastError() == ERROR_INVALID_PARAMETER) {
        // A Windows 7 without the update that brought LOAD_LIBRARY_SEARCH_SYSTEM32: the full path.
        char folder[MAX_PATH] = {};
        const UINT length = ::GetSystemDirectoryA(folder, MAX_PATH);
        if (length > 0 && length < MAX_PATH)
            module = ::LoadLibraryA((std::string(folder) + "\\" + info->szDll).c_str());
    }
    // Null lets the delay-load helper report the failure as it always does.
    return reinterpret_cast<FARPROC>(module);
}
}  // namespace

// Declared by <delayimp.h> with C linkage; the delay-load helper consults it before every load.
PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;

HMODULE LibraryModule() noexcept { return gModule; }
HANDLE LibrarySection() noexcept { return gSection; }
bool HookInstalledHere() noexcept { return gInstalledHere.load(); }
void SetHookInstalledHere(bool installed) noexcept { gInstalledHere.store(installed); }
bool ProbeOwnedHere() noexcept { return gProbeOwnedHere.load(); }
void SetProbeOwnedHere() noexcept { gProbeOwnedHere.store(true); }

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        gModule = instance;
        gInstalledHere.store(false);
        // Creates the section, or opens it when another process made it first; the system
        // zero-fills a new section. The handle is kept for the life of the process.
        // A failure is only recorded (no section: GetResHandle(10) answers null): a message box
        // here would run under the loader lock of every program the hook enters and can hang it.
        // The controller, which needs the block, tells the user.
        gSection = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                        sizeof(TSharedBlock), kSectionName);
        break;
    case DLL_PROCESS_DETACH:
        ReleaseHookBlock();
        if (gSection) ::CloseHandle(gSection);
        gSection = nullptr;
        // The runtime's per-thread data lives in slots whose end-of-thread callbacks point into
        // this library: freed now, before the code they call is unmapped.
        pelmira::threads::ReleaseKeys();
        break;
    default:
        break;
    }
    return TRUE;
}
