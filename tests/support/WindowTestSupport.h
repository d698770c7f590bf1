// WindowTestSupport.h: windows for the test programs: a window's class and text (also of another
// process), finding top-level windows and children, the screen's pixels, and the one long-lived
// top-level window a program builds its child windows on. Waiting comes from TestWait.h.
#pragma once

#include "Config.h"
#include "TestWait.h"

#include <functional>
#include <string>
#include <vector>

// Puts the pointer at `p` and waits until the system reports it there on three looks in a row.
// Under X a warp comes back as a pointer event, and one from an earlier warp can arrive after it
// and move the pointer back for a moment: a click that reads the pointer then would land there.
inline bool MovePointer(POINT p) {
    ::SetCursorPos(p.x, p.y);
    int steady = 0;
    return WaitFor([&] {
        POINT at{};
        if (::GetCursorPos(&at) && at.x == p.x && at.y == p.y) return ++steady >= 3;
        steady = 0;
        ::SetCursorPos(p.x, p.y);
        return false;
    });
}

inline std::string ClassOf(HWND window) {
    char name[257] = {};  // a class name has at most 256 characters
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

// The window's text through WM_GETTEXT, which also reaches controls of other processes (where
// GetWindowText answers only the caption the system keeps). A window that hangs for 5 s answers
// "". The buffer holds every text the tests read: captions, paths, message and status texts.
inline std::string TextOf(HWND window) {
    std::vector<char> text(4096, '\0');
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                          5000, &copied);
    text.back() = '\0';
    return text.data();
}

inline DWORD ProcessOf(HWND window) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    return pid;
}

inline RECT WindowRectOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

// The colour the screen shows at a point (what the user sees, whichever window is there).
inline COLORREF ScreenPixel(POINT p) {
    HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, p.x, p.y);
    ::ReleaseDC(nullptr, screen);
    return c;
}

inline COLORREF ScreenPixel(int x, int y) { return ScreenPixel(POINT{x, y}); }

// The windows EnumWindows / EnumChildWindows visit that `match` accepts. The callback is a plain
// stdcall function: a lambda would be cdecl in the i686 build.
struct TWindowSearch {
    const std::function<bool(HWND)>* Match;
    std::vector<HWND> Found;
    bool FirstOnly;
};

inline BOOL CALLBACK CollectWindow(HWND w, LPARAM p) noexcept {
    auto* s = reinterpret_cast<TWindowSearch*>(p);
    if (!(*s->Match)(w)) return TRUE;
    s->Found.push_back(w);
    return s->FirstOnly ? FALSE : TRUE;
}

// Top-level windows of every process, in z-order, that `match` accepts.
inline std::vector<HWND> TopLevelWindows(const std::function<bool(HWND)>& match) {
    TWindowSearch search{&match, {}, false};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// Top-level windows of process `pid` (0: any process) with the class name (empty: any class).
inline std::vector<HWND> TopWindows(DWORD pid, const std::string& className = "") {
    return TopLevelWindows([&](HWND w) {
        return (pid == 0 || ProcessOf(w) == pid) && (className.empty() || ClassOf(w) == className);
    });
}

// The first descendant of `parent` that `match` accepts, or null.
inline HWND FindChild(HWND parent, const std::function<bool(HWND)>& match) {
    TWindowSearch search{&match, {}, true};
    ::EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.Found.empty() ? nullptr : search.Found.front();
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
