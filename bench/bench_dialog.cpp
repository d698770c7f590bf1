// bench_dialog.cpp: what a user of a taken-over colour dialog waits for, timed from outside the
// client (Wine's own ChooseColorA dialog in choose_color_client.exe); this process plays the
// controller (skerrow.dll's hook installed, the shared block written).
// - takeover_added_ms: ChooseColorA called (the client writes down the moment) until its dialog
//   is shown and painted with the panel drawn, minus the same without the hook (medians of
//   alternating runs). The start of the client process, some 50 to 200 ms that swing with the
//   machine's load alike with and without the hook, is left out.
// - takeover_floor_ms: the same opening under a do-nothing hook for all threads, minus the plain
//   one: the part of takeover_added_ms that any system-wide hook costs under Wine.
// - palette_load_ms: a palette dropped on the panel until the sixteenth cell shows its colour on
//   the screen.
// - palette_save_ms: the save box confirmed until the file holds the sixteen lines.
#include "DialogHarness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace harness;

namespace {

constexpr int kRuns = 7;

// A value of the performance counter in milliseconds; the counter is the same in every process.
double CounterMs(long long counter) {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(counter) / static_cast<double>(frequency.QuadPart);
}

double NowMs() {
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return CounterMs(counter.QuadPart);
}

double Median(std::vector<double> values) {
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return v < 0; }), values.end());
    if (values.empty()) return -1;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Painted: shown, and no part of it waiting for WM_PAINT.
bool Painted(HWND window) { return window != nullptr && ::IsWindowVisible(window) && !::GetUpdateRect(window, nullptr, FALSE); }

// ChooseColorA called in the client until its colour dialog (and, with the hook, its panel) is
// painted; `stamp` is the file where the client writes down when it called.
double OpenMs(bool hooked, const std::string& stamp) {
    ::DeleteFileA(stamp.c_str());
    TClient client(TDialogKind::Wine, "--stamp \"" + stamp + "\"");
    if (!client.Started()) return -1;
    HWND dialog = nullptr;
    const bool shown = WaitFor([&] {
        if (dialog == nullptr) {
            for (HWND w : TopLevelDialogsOf(client.Pid()))
                if (::GetDlgItem(w, 720) != nullptr) dialog = w;
        }
        if (!Painted(dialog)) return false;
        return !hooked || Painted(PanelOf(dialog));
    }, 20000, TWait::Tight);
    const double shownAt = NowMs();
    std::string asked;
    const bool stamped = ReadTextFile(stamp, asked) && !asked.empty();
    const double took = stamped ? shownAt - CounterMs(std::strtoll(asked.c_str(), nullptr, 10)) : -1;
    // The client's destructor cancels the dialog; the hooked one also needs its take-over
    // property to be found.
    if (hooked) client.WaitForTakenOverDialog(5000);
    else if (dialog != nullptr) ::PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    return shown && stamped ? took : -1;
}

// The sixteen custom cells as the screen shows them (at the points CustomCells probes), read from
// one copy of the grid's rectangle: a single read of the screen instead of one per cell, since
// under Wine every read of the screen is a round trip to the X server. What a look costs is
// printed (cells_look_ms) and is part of every load figure.
std::vector<COLORREF> CustomCellsAtOnce(HWND dialog) {
    const RECT g = WindowRectOf(::GetDlgItem(dialog, 721));
    const int width = g.right - g.left, height = g.bottom - g.top;
    std::vector<COLORREF> cells;
    if (width <= 0 || height <= 0) return cells;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        ::BitBlt(memory, 0, 0, width, height, screen, g.left, g.top, SRCCOPY);
        ::GdiFlush();
        const int cw = width / 8, ch = height / 2;
        for (int k = 0; k < 16; ++k) {
            const int x = (k % 8) * cw + cw / 3, y = (k / 8) * ch + ch / 2;
            const DWORD pixel = static_cast<const DWORD*>(bits)[y * width + x];
            cells.push_back(RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF));
        }
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
    }
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return cells;
}

// Sixteen distinct colours for line k, none of them white.
COLORREF CellColor(int k) { return RGB(10 + k * 15, 250 - k * 12, 3 + k * 9); }

}  // namespace

int main() {
    TLibrary lib;
    if (!lib.Load()) {
        std::printf("skerrow.dll could not be loaded\n");
        return 1;
    }
    lib.GetResHandle(1);
    WNDCLASSA wc{};
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "PelmiraBenchController";
    ::RegisterClassA(&wc);
    HWND owner = ::CreateWindowExA(0, wc.lpszClassName, "bench controller", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    TTempFolder scratch("benchdialog");
    const std::string stamp = scratch.File("stamp.txt");

    // A do-nothing hook for all threads: what any system-wide hook adds to the opening, since
    // under Wine every message the dialog is sent then costs round trips to the server.
    HMODULE floorDll = ::LoadLibraryA("bench_floorhook.dll");
    auto installFloor = reinterpret_cast<int (*)()>(
        reinterpret_cast<void*>(floorDll != nullptr ? ::GetProcAddress(floorDll, "InstallFloorHook") : nullptr));
    auto removeFloor = reinterpret_cast<void (*)()>(
        reinterpret_cast<void*>(floorDll != nullptr ? ::GetProcAddress(floorDll, "RemoveFloorHook") : nullptr));

    // Alternating runs, so that a busy moment of the machine falls on all sides alike.
    std::vector<double> plain, floorHooked, hooked;
    for (int run = 0; run < kRuns; ++run) {
        plain.push_back(OpenMs(false, stamp));
        if (installFloor != nullptr && removeFloor != nullptr && installFloor()) {
            floorHooked.push_back(OpenMs(false, stamp));
            removeFloor();
            Pump();
        }
        if (lib.SetHook(owner) != 1) {
            std::printf("the hook could not be installed\n");
            return 1;
        }
        {
            TBlockView block;
            SetBlockText(block->SettingsBase, scratch.Path + "\\Vorlund");
            SetBlockText(block->PaletteFolder, scratch.Path);
        }
        hooked.push_back(OpenMs(true, stamp));
        WaitFor([&] { return lib.ChkDialog() == 0; }, 10000);
        lib.RemoveHook();
        Pump();
    }
    const double plainMs = Median(plain);
    const double hookedMs = Median(hooked);
    std::printf("dialog_plain_ms: %.1f ms\n", plainMs);
    std::printf("dialog_taken_over_ms: %.1f ms\n", hookedMs);
    std::printf("takeover_added_ms: %.1f ms\n", plainMs < 0 || hookedMs < 0 ? -1.0 : hookedMs - plainMs);
    const double floorMs = Median(floorHooked);
    std::printf("dialog_floor_hook_ms: %.1f ms\n", floorMs);
    std::printf("takeover_floor_ms: %.1f ms\n", plainMs < 0 || floorMs < 0 ? -1.0 : floorMs - plainMs);
    std::fflush(stdout);

    lib.SetHook(owner);
    {
        TBlockView block;
        SetBlockText(block->SettingsBase, scratch.Path + "\\Vorlund");
        SetBlockText(block->PaletteFolder, scratch.Path);
    }
    const std::string dropList = scratch.File("drop.txt");
    std::vector<double> loads, saves;
    {
        TClient client(TDialogKind::Wine, "--drop-list \"" + dropList + "\"");
        HWND dialog = client.WaitForTakenOverDialog();
        if (dialog == nullptr) {
            std::printf("palette_load_ms: -1 ms (no dialog)\n");
            return 1;
        }
        WaitForCells(dialog, AllWhite());
        const UINT dropMessage = ::RegisterWindowMessageA("PelmiraTestDrop");
        for (int run = 0; run < kRuns; ++run) {
            // Every run loads other colours than the cells show, so each one repaints all sixteen.
            std::vector<COLORREF> expected;
            std::string text;
            for (int k = 0; k < 16; ++k) {
                const COLORREF c = run % 2 == 0 ? CellColor(k) : CellColor(15 - k);
                expected.push_back(c);
                text += std::to_string(k) + "=" + ColorText(c) + "\r\n";
            }
            const std::string file = scratch.File("load" + std::to_string(run) + ".pli");
            WriteTextFile(file, text);
            WriteTextFile(dropList, file + "\n");
            const double start = NowMs();
            ::SendMessageTimeoutA(dialog, dropMessage, 0, 0, SMTO_ABORTIFHUNG, 10000, nullptr);
            const bool loaded = WaitFor([&] { return CustomCellsAtOnce(dialog) == expected; }, 15000, TWait::Tight);
            loads.push_back(loaded ? NowMs() - start : -1);
        }

        // What one look at the sixteen cells costs this process: part of every load figure.
        std::vector<double> looks;
        for (int run = 0; run < kRuns; ++run) {
            const double start = NowMs();
            CustomCellsAtOnce(dialog);
            looks.push_back(NowMs() - start);
        }
        std::printf("cells_look_ms: %.1f ms\n", Median(looks));
        // The one-copy look must see what sixteen single-pixel reads see, or the load figure lies.
        if (CustomCellsAtOnce(dialog) != CustomCells(dialog)) std::printf("cells_look_disagrees: 1 flag\n");

        HWND panel = PanelOf(dialog);
        for (int run = 0; run < kRuns; ++run) {
            const std::string file = scratch.File("save" + std::to_string(run) + ".pli");
            ClickButton(panel, 1);
            HWND box = client.WaitForBox();
            if (box == nullptr) break;
            HWND field = FileNameField(box);
            WaitFor([&] {
                ::SendMessageTimeoutA(field, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(file.c_str()), SMTO_ABORTIFHUNG,
                                      5000, nullptr);
                return TextOf(field) == file;
            }, 10000);
            const double start = NowMs();
            ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
            std::string written;
            const bool saved = WaitFor([&] {
                return ReadTextFile(file, written) && std::count(written.begin(), written.end(), '\n') == 16;
            }, 15000, TWait::Tight);
            saves.push_back(saved ? NowMs() - start : -1);
            WaitFor([&] { return !::IsWindow(box); }, 5000);
        }
    }
    WaitFor([&] { return lib.ChkDialog() == 0; }, 10000);
    lib.RemoveHook();
    ::DestroyWindow(owner);
    std::printf("palette_load_ms: %.1f ms\n", Median(loads));
    std::printf("palette_save_ms: %.1f ms\n", Median(saves));
    return 0;
}
