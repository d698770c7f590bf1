// CompanionLink.h: what the 64-bit controller and its 32-bit companion agree on. Windows maps a
// global hook library only into programs of its own bitness, so 32-bit programs are served by a
// second library (a 32-bit build under its own file name) that a small 32-bit program, the
// companion, installs and removes in step with the controller's own hook.
//
// The controller starts "<folder>\vorlund32.exe <main window handle>". The companion posts
// kCompanionHello back with its message-only window in lParam; from then on the controller posts
// Start, Suspend, Resume and Exit to that window. Both directions use the one registered message.
// Constants and two conversions only; usable from both programs.
#pragma once

#include "Config.h"

#include <cstdint>
#include <cstdlib>

inline constexpr char kCompanionProgram[] = "vorlund32.exe";
inline constexpr char kCompanionLibrary[] = "skerrow32.dll";
// Registered once per desktop; both programs name it the same.
inline constexpr char kCompanionMessageName[] = "PelmiraCompanion";
// Held by the running companion for its whole life: a second one sees it and leaves.
inline constexpr char kCompanionMutexName[] = "PelmiraCompanion32";
// Class of the companion's message-only window.
inline constexpr char kCompanionWindowClass[] = "PelmiraCompanion";

// wParam of the registered message.
enum TCompanionCommand : unsigned {
    kCompanionHello = 1,    // companion -> controller, lParam: the companion's window
    kCompanionStart = 2,    // controller -> companion: install the 32-bit hook (first time)
    kCompanionSuspend = 3,  // remove it
    kCompanionResume = 4,   // install it again
    kCompanionExit = 5,     // remove it and end
    kCompanionEnded = 6,    // controller -> itself, from a pool thread: the companion's process ended
};

// Window handles cross the bitness boundary as 32-bit values (they are 32-bit on 64-bit Windows
// too); a 64-bit side sign-extends them back, as Windows does.
inline LPARAM WindowToParam(HWND window) noexcept {
    return static_cast<LPARAM>(static_cast<LONG>(reinterpret_cast<ULONG_PTR>(window)));
}
inline HWND ParamToWindow(LPARAM value) noexcept {
    return reinterpret_cast<HWND>(static_cast<LONG_PTR>(static_cast<LONG>(value)));
}

// The window handle of the companion's command line: one decimal number, leading blanks allowed.
// Null when the text is not such a number.
inline HWND WindowFromCommandLine(const char* text) noexcept {
    if (text == nullptr) return nullptr;
    while (*text == ' ' || *text == '\t') ++text;
    if (*text < '0' || *text > '9') return nullptr;  // strtoull would take a sign
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (end == text || value == 0 || value > 0xFFFFFFFFull) return nullptr;
    while (*end == ' ' || *end == '\t') ++end;
    if (*end != '\0') return nullptr;
    return ParamToWindow(static_cast<LPARAM>(static_cast<std::uint32_t>(value)));
}
