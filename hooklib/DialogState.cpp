// DialogState.cpp: the taken-over dialog's state and the small actions its handlers share.
#include "DialogState.h"

namespace {
// The property on the dialog window that holds its TDialogState.
constexpr char kStateProp[] = "OstvarinState";

// Statically initialised and never torn down: a dialog may still type while the module's statics go.
SRWLOCK gTypingLock = SRWLOCK_INIT;
}  // namespace

TTypingGuard::TTypingGuard() noexcept {
    // The holder may be waiting for this thread to answer a message it sent (a host's notification
    // handler can send across threads), so the wait answers sent messages meanwhile.
    while (!::TryAcquireSRWLockExclusive(&gTypingLock)) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_SENDMESSAGE);
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

TTypingGuard::~TTypingGuard() { ::ReleaseSRWLockExclusive(&gTypingLock); }

TDialogState* DialogStateOf(HWND window) noexcept {
    if (window == nullptr) return nullptr;
    // The added controls sit inside the dialog (the panel on a static of it), so the dialog is
    // the top of their parent chain.
    HWND dialog = ::GetAncestor(window, GA_ROOT);
    auto* state = static_cast<TDialogState*>(::GetPropA(dialog != nullptr ? dialog : window, kStateProp));
    return state != nullptr && state->Dialog == dialog ? state : nullptr;
}

TDialogState* SenderState(const TMessageRecord* record) noexcept {
    const auto* sender = record != nullptr ? reinterpret_cast<const TSubClass*>(record->Msg) : nullptr;
    return sender != nullptr ? DialogStateOf(sender->Handle) : nullptr;
}

void BindDialogState(HWND dialog, TDialogState* state) noexcept {
    if (state != nullptr)
        ::SetPropA(dialog, kStateProp, state);
    else
        ::RemovePropA(dialog, kStateProp);
}

void ShowStatus(const TDialogState& state, const std::string& text) {
    if (state.StatusBar != nullptr) state.StatusBar->SetText(0, text);
}

void ShowPaletteName(const TDialogState& state) { ShowStatus(state, state.CurrentPalette.FileName); }

RECT DialogWindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

void ClickAtCursor() {
    ::mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ::mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

void SendText(HWND control, const std::string& text) {
    ::SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SendColor(const TDialogState& state, COLORREF color) {
    SendText(state.Control(kListRed), IntToText(GetRValue(color)));
    SendText(state.Control(kListGreen), IntToText(GetGValue(color)));
    SendText(state.Control(kListBlue), IntToText(GetBValue(color)));
}

void PressAdd(const TDialogState& state) {
    ::SendMessageA(state.Control(kListAdd), BM_CLICK, 0, 0);
}
