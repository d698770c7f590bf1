// Library.h: per-process state of skerrow.dll, set at process attach and dropped at detach.
#pragma once

#include "Config.h"

// The library's own module (resources, hook installation).
HMODULE LibraryModule() noexcept;
// The section handle created or opened at this process's attach; null when that failed.
HANDLE LibrarySection() noexcept;

// Whether a successful SetHook ran in this process (only that process may remove the hook).
bool HookInstalledHere() noexcept;
void SetHookInstalledHere(bool installed) noexcept;

// Whether this process called SetHook: only its dialog may be the geometry probe, so that another
// program's dialog reaching WM_INITDIALOG while the probe is pending is never taken for it.
bool ProbeOwnedHere() noexcept;
void SetProbeOwnedHere() noexcept;
