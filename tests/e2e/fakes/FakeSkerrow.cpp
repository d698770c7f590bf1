// FakeSkerrow.cpp: stand-ins for skerrow.dll that the controller must refuse silently.
//   FAKE_WITHOUT_ONTOP: exports seven of the eight entry points the controller binds.
//   FAKE_WITHOUT_SECTION: exports all eight, but GetResHandle(10) answers null, as a library
//   that could not create its shared section does.
// Neither ever does anything: the controller must leave before calling them.
#include "Config.h"

#include <cstdint>

#define FAKE_EXPORT extern "C" __declspec(dllexport)

FAKE_EXPORT std::int32_t WINAPI GetFMObj(HANDLE* section, void** view) {
    *section = nullptr;
    *view = nullptr;
    return -1;
}
FAKE_EXPORT void WINAPI ReleaseFMObj(HANDLE, void*) {}
FAKE_EXPORT std::uint8_t WINAPI SetHook(HWND) { return 0; }
FAKE_EXPORT void WINAPI RemoveHook() {}
FAKE_EXPORT std::uint8_t WINAPI ChkDialog() { return 0; }
FAKE_EXPORT void WINAPI BtnTestProc(HWND) {}
#ifndef FAKE_WITHOUT_ONTOP
FAKE_EXPORT std::int32_t WINAPI AllwaysOnTop(HWND, std::uint8_t) { return 0; }
#endif
FAKE_EXPORT HANDLE WINAPI GetResHandle(UINT selector) {
#ifdef FAKE_WITHOUT_SECTION
    (void)selector;
    return nullptr;
#else
    // Any non-null value will do: the controller only tests it.
    return (selector & 0xFF) == 10 ? reinterpret_cast<HANDLE>(static_cast<INT_PTR>(4)) : nullptr;
#endif
}
