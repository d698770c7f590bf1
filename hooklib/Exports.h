// Exports.h: the functions skerrow.dll exports by name (stdcall, undecorated in both builds; see
// skerrow.def). The controller binds them with GetProcAddress; the library calls them directly.
#pragma once

#include "Config.h"

#include <cstdint>

extern "C" {  // exported through skerrow.def only, so i686 carries no decorated duplicates
// "Vorlundhook", the name of the message posted to the controller.
const char* WINAPI GetHookMsgString();
// Opens and maps the whole section: 0 success, -1 no section (handle out null), -2 not mappable
// (handle closed again, view out null).
std::int32_t WINAPI GetFMObj(HANDLE* section, void** view);
void WINAPI ReleaseFMObj(HANDLE section, void* view);
// 0: icon "bhide"; 1: cursor "spuit" (also stored in PickCursor); 10: this process's section
// handle; anything else null. Only the low byte of the selector counts.
HANDLE WINAPI GetResHandle(UINT selector);
std::uint8_t WINAPI ChkDialog();
void WINAPI BtnTestProc(HWND owner);
// "R,G,B\r\n" in a buffer of the calling thread, valid until its next call.
const char* WINAPI MakeColorStr(COLORREF colour);
std::int32_t WINAPI AllwaysOnTop(HWND window, std::uint8_t flag);
std::uint8_t WINAPI SetHook(HWND window);
void WINAPI RemoveHook();
}
