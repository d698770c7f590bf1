// Library.cpp: process attach and detach of skerrow.dll. Only what attach and detach require
// happens here (under the loader lock); everything else waits for first use.
#include "Library.h"

#include "HookBlock.h"

#include <atomic>

namespace {
HMODULE gModule = nullptr;
HANDLE gSection = nullptr;
std::atomic<bool> gInstalledHere{false};
std::atomic<bool> gProbeOwnedHere{false};
}  // namespace

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
        break;
    default:
        break;
    }
    return TRUE;
}
