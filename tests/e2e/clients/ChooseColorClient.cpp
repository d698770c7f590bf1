// ChooseColorClient: opens the platform's own colour dialog (ChooseColorA) so the tests can
// drive the real thing: optionally fully open, with the custom colours from the command line.
#include "ClientArgs.h"

#include <commdlg.h>

namespace {

UINT gTimeoutMs = 120000;
std::string gDropList;

// The dialog's hook procedure arms a timer that ends a forgotten dialog and performs the test's
// drops; the title and everything else stay the platform's.
constexpr UINT_PTR kTimeoutTimer = 0x7A11;

UINT_PTR CALLBACK TimeoutHook(HWND dialog, UINT msg, WPARAM wParam, LPARAM) noexcept {
    if (msg == WM_INITDIALOG) {
        SetTimer(dialog, kTimeoutTimer, gTimeoutMs, nullptr);
    } else if (msg == client::DropMessage() && msg != 0) {
        client::DropListedFiles(dialog, gDropList);
        return TRUE;
    } else if (msg == WM_TIMER && wParam == kTimeoutTimer) {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        return TRUE;
    }
    return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
    client::TArgs args = client::ParseArgs(argc, argv);
    gTimeoutMs = args.TimeoutMs;
    gDropList = args.DropList;

    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof cc;
    cc.rgbResult = args.Color;
    cc.lpCustColors = args.Custom;
    cc.Flags = CC_RGBINIT | CC_ENABLEHOOK | (args.FullOpen ? CC_FULLOPEN : 0);
    cc.lpfnHook = TimeoutHook;
    if (!args.Stamp.empty()) {
        // The moment the dialog is asked for, for a bench that times its opening from outside
        // (the counter is the same in every process); written before the call, so its own time
        // falls on every run alike.
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        if (FILE* f = std::fopen(args.Stamp.c_str(), "w")) {
            std::fprintf(f, "%lld\n", static_cast<long long>(now.QuadPart));
            std::fclose(f);
        }
    }
    const BOOL ok = ChooseColorA(&cc);
    client::WriteColors(args.Out, args.Custom);
    return ok ? 0 : 1;
}
