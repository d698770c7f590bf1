// PanelKeys.cpp: Alt+letter for the panel's buttons (see PanelKeys.h).
//
// The keys are caught by a message hook on the dialog's thread rather than by the dialog: in a
// dialog, Alt+letter is sent to the focused control as WM_SYSCHAR and ends as a menu-key beep
// without the dialog ever seeing it. The hook takes the key out of the queue (the message becomes
// WM_NULL) and leaves the work to a thread timer, because a load or a save runs a modal file box,
// which must not run inside a hook call.
#include "PanelKeys.h"

#include "DialogPalette.h"
#include "DialogState.h"
#include "Eyedropper.h"

namespace {

HHOOK gKeyHook = nullptr;
int gPendingButton = -1;

extern "C" IMAGE_DOS_HEADER __ImageBase;

bool IsAltKeyDown(const MSG& msg) {
    constexpr LPARAM kAltDown = 1 << 29;  // context code of a WM_SYSKEYDOWN
    return msg.message == WM_SYSKEYDOWN && (msg.lParam & kAltDown) != 0;
}

void PressByKey(int button) {
    TDialogState& s = *gDialog;
    switch (button) {
    case kReadButton:
        OnReadClick(nullptr);
        break;
    case kWriteButton:
        OnWriteClick(nullptr);
        break;
    case kSpuitButton: {
        // One pick at the pointer, as a drag that has left the button (65535, 65535 lies
        // outside every button).
        TMessageRecord pick{};
        pick.LParam = static_cast<LPARAM>(MAKELONG(0xFFFF, 0xFFFF));
        OnSpuitDrag(&pick);
        OnSpuitRelease(nullptr);
        break;
    }
    case kSetColorButton:
        // As a release on the button itself: the picked colour goes into the selected cell.
        SendColor(s, s.Button(kSpuitButton)->Color);
        PressAdd(s);
        ShowStatus(s.StatusTexts[kMessageInside]);
        break;
    default:
        break;
    }
}

void CALLBACK OnKeyTimer(HWND, UINT, UINT_PTR id, DWORD) noexcept {
    ::KillTimer(nullptr, id);
    const int button = gPendingButton;
    gPendingButton = -1;
    Guarded([button] {
        if (gDialog && button >= 0) PressByKey(button);
    });
}

int ButtonForKey(const MSG& msg) {
    if (!gDialog || !IsAltKeyDown(msg)) return -1;
    const TDialogState& s = *gDialog;
    // Only keys typed in the colour dialog itself, not in its open or save box.
    if (msg.hwnd != s.Dialog && ::GetAncestor(msg.hwnd, GA_ROOT) != s.Dialog) return -1;
    for (int i = 0; i < kPanelButtonCount; ++i)
        if (s.Settings.Keys[i] != 0 && msg.wParam == static_cast<WPARAM>(static_cast<unsigned char>(s.Settings.Keys[i])))
            return i;
    return -1;
}

LRESULT CALLBACK PanelKeyHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION && wParam == PM_REMOVE && lParam != 0) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        const int button = ButtonForKey(*msg);
        if (button >= 0) {
            msg->message = WM_NULL;
            if (gPendingButton < 0 && ::SetTimer(nullptr, 0, 0, OnKeyTimer) != 0) gPendingButton = button;
        }
    }
    return ::CallNextHookEx(gKeyHook, code, wParam, lParam);
}

}  // namespace

void InstallPanelKeys() {
    if (gKeyHook != nullptr) return;
    gKeyHook = ::SetWindowsHookExA(WH_GETMESSAGE, PanelKeyHook, reinterpret_cast<HINSTANCE>(&__ImageBase),
                                   ::GetCurrentThreadId());
}

void RemovePanelKeys() {
    if (gKeyHook == nullptr) return;
    ::UnhookWindowsHookEx(gKeyHook);
    gKeyHook = nullptr;
}
