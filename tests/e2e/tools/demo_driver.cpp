// pelmira_demo: small steps for driving a running controller from a script (scripts/demo.sh).
//
//   pelmira_demo wait <class> [ms]        wait for a visible top-level window of that class;
//                                         prints its window rectangle as "WxH+X+Y"
//   pelmira_demo command <class> <id>     post WM_COMMAND id (a menu command) to it
//   pelmira_demo height <class> <h> [ms]  wait until its client area is h pixels high or more;
//                                         prints its window rectangle
//   pelmira_demo dialog [ms]              wait for a visible colour dialog (a "#32770" window
//                                         with the basic-colours grid, id 720); prints its rectangle
//   pelmira_demo load <file> [ms]         load the palette file into the taken-over colour dialog
//                                         through its load button and open box; waits until its
//                                         sixteen custom colours show the file's and prints the
//                                         dialog's rectangle
//   pelmira_demo cancel                   press Cancel in every visible colour dialog
//   pelmira_demo close <class> [ms]       post WM_CLOSE and wait until the window is gone
//
// Exit code 0 on success, 1 when the window did not come (or go) in time, 2 on bad arguments.
#include "Config.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr DWORD kDefaultWaitMs = 30000;
constexpr int kBasicColorsGrid = 720;
constexpr int kCustomColorsGrid = 721;

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

// The colours of a palette file's lines "k=R,G,B", in file order.
std::vector<COLORREF> PaletteColors(const std::string& path) {
    std::vector<COLORREF> colors;
    std::ifstream file(path, std::ios::binary);
    std::string line;
    while (std::getline(file, line)) {
        int index = 0, red = 0, green = 0, blue = 0;
        if (std::sscanf(line.c_str(), "%d=%d,%d,%d", &index, &red, &green, &blue) != 4) break;
        colors.push_back(RGB(red, green, blue));
    }
    return colors;
}

HWND TakenOverDialog() {
    const HWND w = ColorDialog();
    return w != nullptr && ::GetPropA(w, "Ostvarin") != nullptr ? w : nullptr;
}

struct TBoxSearch {
    DWORD Process;
    HWND Dialog;
    HWND Found;
};

// The open box: a visible dialog of the colour dialog's process that is not a colour dialog.
BOOL CALLBACK FindOpenBox(HWND w, LPARAM data) noexcept {
    auto* search = reinterpret_cast<TBoxSearch*>(data);
    DWORD process = 0;
    ::GetWindowThreadProcessId(w, &process);
    char name[64] = {};
    ::GetClassNameA(w, name, sizeof name);
    if (process == search->Process && w != search->Dialog && std::string(name) == "#32770" &&
        ::IsWindowVisible(w) && ::GetDlgItem(w, kBasicColorsGrid) == nullptr) {
        search->Found = w;
        return FALSE;
    }
    return TRUE;
}

COLORREF ScreenPixel(POINT p) {
    const HDC screen = ::GetDC(nullptr);
    const COLORREF c = ::GetPixel(screen, p.x, p.y);
    ::ReleaseDC(nullptr, screen);
    return c;
}

// The colour shown by custom cell k (0 to 7 the top row, 8 to 15 the bottom row): the grid holds
// 8 x 2 cells, probed a third across and half-way down.
COLORREF CustomCell(HWND dialog, int k) {
    RECT grid{};
    ::GetWindowRect(::GetDlgItem(dialog, kCustomColorsGrid), &grid);
    const int width = (grid.right - grid.left) / 8, height = (grid.bottom - grid.top) / 2;
    return ScreenPixel(POINT{grid.left + (k % 8) * width + width / 3, grid.top + (k / 8) * height + height / 2});
}

// The button panel may sit on one of the dialog's controls rather than on the dialog itself.
BOOL CALLBACK FindPanel(HWND w, LPARAM result) noexcept {
    char name[64] = {};
    ::GetClassNameA(w, name, sizeof name);
    if (std::string(name) != "APIPanel") return TRUE;
    *reinterpret_cast<HWND*>(result) = w;
    return FALSE;
}

HWND Failed(const char* what) {
    std::fprintf(stderr, "pelmira_demo: %s\n", what);
    return nullptr;
}

// Presses the panel's load button, answers the open box with the file's full path and waits
// until the dialog shows the palette.
HWND LoadPalette(const char* file, DWORD timeoutMs) {
    char full[MAX_PATH] = {};
    if (::GetFullPathNameA(file, MAX_PATH, full, nullptr) == 0) return nullptr;
    const std::vector<COLORREF> colors = PaletteColors(full);
    const HWND dialog = WaitWindow(TakenOverDialog, timeoutMs);
    if (colors.size() != 16) return Failed("the palette file has not sixteen colours");
    if (dialog == nullptr) return Failed("no colour dialog was taken over");
    HWND panel = nullptr;
    ::EnumChildWindows(dialog, FindPanel, reinterpret_cast<LPARAM>(&panel));
    if (panel == nullptr) return Failed("the dialog has no button panel");
    // The load button is the panel's first, 30 pixels wide in the default layout.
    ::PostMessageA(panel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(15, 7));
    ::PostMessageA(panel, WM_LBUTTONUP, 0, MAKELPARAM(15, 7));

    TBoxSearch search{0, dialog, nullptr};
    ::GetWindowThreadProcessId(dialog, &search.Process);
    const HWND box = WaitWindow(
        [&] {
            search.Found = nullptr;
            ::EnumWindows(FindOpenBox, reinterpret_cast<LPARAM>(&search));
            return search.Found;
        },
        timeoutMs);
    if (box == nullptr) return Failed("the load button opened no open box");
    // The explorer-style box names the file in a combo box (1148), the older one in an edit (1152).
    // The box may still be filling its name field when it shows, so type until the text holds.
    const HWND typed = WaitWindow(
        [&]() -> HWND {
            HWND field = ::GetDlgItem(box, 1148);
            if (field == nullptr) field = ::GetDlgItem(box, 1152);
            if (field == nullptr) return nullptr;
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(full), SMTO_NORMAL, 5000, &answer);
            // GetWindowTextA would not ask another process's control for its text.
            char back[MAX_PATH] = {};
            ::SendMessageTimeoutA(field, WM_GETTEXT, MAX_PATH, reinterpret_cast<LPARAM>(back), SMTO_NORMAL, 5000,
                                  &answer);
            return std::string(back) == full ? field : nullptr;
        },
        timeoutMs);
    if (typed == nullptr) return Failed("the open box took no file name");
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
    const HWND shown = WaitWindow(
        [&]() -> HWND {
            for (int k = 0; k < 16; ++k)
                if (CustomCell(dialog, k) != colors[k]) return nullptr;
            return dialog;
        },
        timeoutMs);
    return shown != nullptr ? shown : Failed("the custom colours do not show the palette");
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
    if (verb == "load" && argc >= 3) {
        const HWND w = LoadPalette(argv[2], Ms(argc, argv, 3));
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
