// PanelKeys.cpp: the dialog's own keys: Alt+letter for the panel's buttons, Ctrl+C and Ctrl+V
// for the colour as text, the arrow keys and Esc while the eyedropper is dragged (see PanelKeys.h).
//
// The keys are caught by a message hook on the dialog's thread rather than by the dialog: in a
// dialog, Alt+letter is sent to the focused control as WM_SYSCHAR and ends as a menu-key beep
// without the dialog ever seeing it, and Ctrl+C and Ctrl+V go to the focused box. The hook takes
// the key out of the queue (the message becomes WM_NULL) and leaves the work to a thread timer,
// because a load or a save runs a modal file box and the clipboard is another program's too,
// neither of which belongs inside a hook call. The drag keys only move the pointer or drop the
// press, and run at once, so that each press moves the pick as it is typed.
#include "PanelKeys.h"

#include "DialogClipboard.h"
#include "DialogPalette.h"
#include "DialogState.h"
#include "Eyedropper.h"

namespace {

// The work of a key: a panel button (0 to 3) or one of these.
constexpr int kCopyAction = kPanelButtonCount;
constexpr int kPasteAction = kPanelButtonCount + 1;

extern "C" IMAGE_DOS_HEADER __ImageBase;

bool IsAltKeyDown(const MSG& msg) {
    constexpr LPARAM kAltDown = 1 << 29;  // context code of a WM_SYSKEYDOWN
    return msg.message == WM_SYSKEYDOWN && (msg.lParam & kAltDown) != 0;
}

// The button handlers find their dialog through the button that "sent" the record.
TMessageRecord RecordFrom(TVxOriginBtn* button) {
    TMessageRecord record{};
    record.Msg = reinterpret_cast<UINT_PTR>(static_cast<TSubClass*>(button));
    return record;
}

void PressByKey(TDialogState& s, int button) {
    TMessageRecord record = RecordFrom(s.Button(static_cast<TPanelButton>(button)));
    switch (button) {
    case kReadButton:
        OnReadClick(&record);
        break;
    case kWriteButton:
        OnWriteClick(&record);
        break;
    case kSpuitButton:
        // One pick at the pointer, as a drag that has left the button (65535, 65535 lies
        // outside every button).
        record.LParam = static_cast<LPARAM>(MAKELONG(0xFFFF, 0xFFFF));
        OnSpuitDrag(&record);
        OnSpuitRelease(&record);
        break;
    case kSetColorButton:
        // As a release on the button itself: the picked colour goes into the selected cell.
        SendColor(s, s.Button(kSpuitButton)->Color);
        PressAdd(s);
        ShowStatus(s, s.StatusTexts[kMessageInside]);
        break;
    default:
        break;
    }
}

// The key timer is the dialog's own, keyed by its state's address: unique in the process, and
// clear of the ids the host's own timers on the dialog use.
UINT_PTR KeyTimerId(const TDialogState& s) { return reinterpret_cast<UINT_PTR>(&s); }

void CALLBACK OnKeyTimer(HWND dialog, UINT, UINT_PTR id, DWORD) noexcept {
    ::KillTimer(dialog, id);
    Guarded([dialog] {
        TDialogState* state = DialogStateOf(dialog);
        if (state == nullptr) return;
        const int button = state->PendingKey;
        state->PendingKey = -1;
        if (button == kCopyAction)
            CopyDialogColor(*state);
        else if (button == kPasteAction)
            PasteDialogColor(*state);
        else if (button >= 0)
            PressByKey(*state, button);
    });
}

int ButtonForKey(const TDialogState& s, const MSG& msg) {
    switch (ClipboardKeyOf(s, msg)) {
    case TClipboardKey::Copy: return kCopyAction;
    case TClipboardKey::Paste: return kPasteAction;
    case TClipboardKey::None: break;
    }
    if (!IsAltKeyDown(msg)) return -1;
    for (int i = 0; i < kPanelButtonCount; ++i)
        if (s.Settings.Keys[i] != 0 && msg.wParam == static_cast<WPARAM>(static_cast<unsigned char>(s.Settings.Keys[i])))
            return i;
    return -1;
}

LRESULT CALLBACK PanelKeyHook(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION && wParam == PM_REMOVE && lParam != 0) {
        auto* msg = reinterpret_cast<MSG*>(lParam);
        if (OnSpuitKey(*msg)) {
            msg->message = WM_NULL;
        } else if (msg->message == WM_KEYDOWN || msg->message == WM_SYSKEYDOWN) {
            // Only keys typed in a taken-over colour dialog itself: its open or save box is a
            // window of its own, with no state.
            TDialogState* state = DialogStateOf(msg->hwnd);
            const int button = state != nullptr ? ButtonForKey(*state, *msg) : -1;
            if (button >= 0) {
                msg->message = WM_NULL;
                if (state->PendingKey < 0 && ::SetTimer(state->Dialog, KeyTimerId(*state), 0, OnKeyTimer) != 0)
                    state->PendingKey = button;
            }
        }
    }
    // The hook handle is not needed to pass the call on (and several dialogs of one thread each
    // have their own).
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

void InstallPanelKeys(TDialogState& state) {
    if (state.KeyHook != nullptr) return;
    state.KeyHook = ::SetWindowsHookExA(WH_GETMESSAGE, PanelKeyHook, reinterpret_cast<HINSTANCE>(&__ImageBase),
                                        ::GetCurrentThreadId());
}

void RemovePanelKeys(TDialogState& state) {
    if (state.KeyHook == nullptr) return;
    ::UnhookWindowsHookEx(state.KeyHook);
    state.KeyHook = nullptr;
    ::KillTimer(state.Dialog, KeyTimerId(state));
}
