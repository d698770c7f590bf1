// pelmira_demo: small steps for driving a running controller from a script (scripts/demo.sh).
//
//   pelmira_demo wait <class> [ms]        wait for a visible top-level window of that class;
//                                         prints its window rectangle as "WxH+X+Y"
//   pelmira_demo command <class> <id>     post WM_COMMAND id (a menu command) to it
//   pelmira_demo height <class> <h> [ms]  wait until its client area is h pixels high or more;
//                                         prints its window rectangle
//   pelmira_demo dialog [ms]              wait for a visible colour dialog (a "#32770" window
//                                         with the basic-colours grid, id 720); prints its rectangle
//   pelmira_demo cancel                   press Cancel in every visible colour dialog
//   pelmira_demo close <class> [ms]       post WM_CLOSE and wait until the window is gone
//
// Exit code 0 on success, 1 when the window did not come (or go) in time, 2 on bad arguments.
#include "Config.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr DWORD kDefaultWaitMs = 30000;
constexpr int kBasicColorsGrid = 720;

DWORD Ms(int argc, char** argv, int index) {
    return argc > index ? static_cast<DWORD>(std::strtoul(argv[index], nullptr, 10)) : kDefaultWaitMs;
}

// Polls `found` every 50 ms until it answers a window or the time is up.
template <class F>
HWND WaitWindow(F found, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (const HWND w = found()) return w;
        if (::GetTickCount() - start > timeoutMs) return nullptr;
        ::Sleep(50);
    }
}

HWND VisibleWindow(const char* className) {
    const HWND w = ::FindWindowA(className, nullptr);
    return w != nullptr && ::IsWindowVisible(w) ? w : nullptr;
}

BOOL CALLBACK FindColorDialog(HWND w, LPARAM result) noexcept {
    char name[64] = {};
    ::GetClassNameA(w, name, sizeof name);
    if (std::string(name) == "#32770" && ::IsWindowVisible(w) && ::GetDlgItem(w, kBasicColorsGrid) != nullptr) {
        *reinterpret_cast<HWND*>(result) = w;
        return FALSE;
    }
    return TRUE;
}

HWND ColorDialog() {
    HWND found = nullptr;
    ::EnumWindows(FindColorDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Lets the window's thread finish what it has queued and paint everything now, so a screenshot
// taken next shows the finished window.
void Settle(HWND w) {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, kDefaultWaitMs, &answer);
    ::RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::SendMessageTimeoutA(w, WM_NULL, 0, 0, SMTO_NORMAL, kDefaultWaitMs, &answer);
}

void PrintRect(HWND w) {
    Settle(w);
    RECT r{};
    ::GetWindowRect(w, &r);
    std::printf("%ldx%ld+%ld+%ld\n", r.right - r.left, r.bottom - r.top, r.left, r.top);
}

int ClientHeight(HWND w) {
    RECT r{};
    ::GetClientRect(w, &r);
    return r.bottom;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const std::string verb = argv[1];

    if (verb == "wait" && argc >= 3) {
        const HWND w = WaitWindow([&] { return VisibleWindow(argv[2]); }, Ms(argc, argv, 3));
        if (w == nullptr) return 1;
        PrintRect(w);  // answered only once the program has reached its message loop
        return 0;
    }
    if (verb == "command" && argc >= 4) {
        const HWND w = ::FindWindowA(argv[2], nullptr);
        if (w == nullptr) return 1;
        const auto id = static_cast<WORD>(std::strtoul(argv[3], nullptr, 10));
        return ::PostMessageA(w, WM_COMMAND, MAKEWPARAM(id, 0), 0) ? 0 : 1;
    }
    if (verb == "height" && argc >= 4) {
        const int wanted = std::atoi(argv[3]);
        const HWND w = WaitWindow(
            [&]() -> HWND {
                const HWND main = VisibleWindow(argv[2]);
                return main != nullptr && ClientHeight(main) >= wanted ? main : nullptr;
            },
            Ms(argc, argv, 4));
        if (w == nullptr) return 1;
        PrintRect(w);
        return 0;
    }
    if (verb == "dialog") {
        const HWND w = WaitWindow(ColorDialog, Ms(argc, argv, 2));
        if (w == nullptr) return 1;
        PrintRect(w);
        return 0;
    }
    if (verb == "cancel") {
        while (const HWND w = ColorDialog()) {
            ::SendMessageA(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            if (::IsWindow(w) && ::IsWindowVisible(w)) return 1;
        }
        return 0;
    }
    if (verb == "close" && argc >= 3) {
        const HWND w = ::FindWindowA(argv[2], nullptr);
        if (w == nullptr) return 0;
        ::PostMessageA(w, WM_CLOSE, 0, 0);
        const HWND gone = WaitWindow([&]() -> HWND { return ::IsWindow(w) ? nullptr : ::GetDesktopWindow(); },
                                     Ms(argc, argv, 3));
        return gone != nullptr ? 0 : 1;
    }
    return 2;
}
