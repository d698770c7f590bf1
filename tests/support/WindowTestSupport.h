// WindowTestSupport.h: what every test program with real windows needs: running the thread's
// messages, waiting for a condition with a deadline instead of sleeping, and the one long-lived
// top-level window the tests build their child windows on.
#pragma once

#include "Config.h"

#include <functional>

// Dispatches every message waiting for this thread, then returns.
inline void Pump() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

// Pumps messages until `done` holds (true) or `timeoutMs` has passed (false). Between rounds it
// sleeps only until the next message arrives, or 20 ms for conditions no message announces.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    while (!done()) {
        if (::GetTickCount64() > deadline) return false;
        Pump();
        if (!done()) ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

// Registers the window class `className` (DefWindowProc, arrow cursor, `background`) and creates
// one window of it without a parent. Destroying or hiding a top-level window costs Wine about two
// seconds under Xvfb without a window manager, while a child window costs nothing, so a program
// makes one such stage for its whole run and gives each test children of it (of the same class).
inline HWND CreateStageWindow(const char* className, HBRUSH background, DWORD exStyle, const char* title,
                              DWORD style, int x, int y, int width, int height) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    ::RegisterClassA(&wc);
    return ::CreateWindowExA(exStyle, className, title, style, x, y, width, height, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}

// The system's button-face brush, the usual background of a stage.
inline HBRUSH ButtonFaceBrush() { return reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1); }
