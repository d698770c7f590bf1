// Program.h: the controller's binding of the hook library "skerrow.dll": the eight exports it
// calls by name, and one operation on the library's shared block.
//
// BindHookLibrary (Startup.cpp) sets the entry points once, before the main window exists; they
// stay valid until the library is unloaded at the main window's WM_DESTROY. One GUI thread:
// nothing here is locked.
#pragma once

#include "Config.h"

#include <cstdint>

#include "BlockAccess.h"
#include "SharedBlock.h"

// ---------------------------------------------------------------------------------------------
// The hook library "skerrow.dll" and the eight exports the controller binds by name.
// ---------------------------------------------------------------------------------------------

using TGetFMObj = int32_t(WINAPI*)(HANDLE* section, void** view);  // 0, -1 no section, -2 no view
using TReleaseFMObj = void(WINAPI*)(HANDLE section, void* view);
using TSetHook = uint8_t(WINAPI*)(HWND controller);                 // 1 installed, 0 failed
using TRemoveHook = void(WINAPI*)();
using TChkDialog = uint8_t(WINAPI*)();                               // dialogs taken over; 255 probe
using TBtnTestProc = void(WINAPI*)(HWND owner);
using TAllwaysOnTop = int32_t(WINAPI*)(HWND window, uint8_t flag);
using TGetResHandle = HANDLE(WINAPI*)(UINT selector);                // low byte: 0, 1 or 10

inline HMODULE HookLibrary = nullptr;
inline TGetFMObj GetFMObj = nullptr;
inline TReleaseFMObj ReleaseFMObj = nullptr;
inline TSetHook SetHook = nullptr;
inline TRemoveHook RemoveHook = nullptr;
inline TChkDialog ChkDialog = nullptr;
inline TBtnTestProc BtnTestProc = nullptr;
inline TAllwaysOnTop AllwaysOnTop = nullptr;
inline TGetResHandle GetResHandle = nullptr;

// One operation on the library's shared block through the bound exports: GetFMObj on
// construction, ReleaseFMObj on destruction. Nothing keeps the block mapped between operations;
// before the library is bound there is no block.
class TLibraryBlock : public TBlockAccess {
public:
    TLibraryBlock() noexcept : TBlockAccess(GetFMObj, ReleaseFMObj) {}
};
