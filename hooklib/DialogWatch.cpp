// DialogWatch.cpp: the taken-over dialog's activation and add-button watch (see DialogWatch.h).
#include "DialogWatch.h"

#include "DialogState.h"
#include "PanelKeys.h"
#include "TakeOver.h"

TDialogWatch::TDialogWatch(HWND dialog, std::unique_ptr<TDialogState> state)
    : TSubClass(dialog), state_(std::move(state)) {
    Listen(WM_ACTIVATE);
    Listen(WM_COMMAND);
    Listen(WM_SIZE);
    BindDialogState(dialog, state_.get());
}

TDialogWatch::~TDialogWatch() {
    EndTakeOver(Handle);  // nothing left to do when the hook has already ended it
    if (state_) RemovePanelKeys(*state_);
    BindDialogState(Handle, nullptr);
}

void TDialogWatch::DefaultHandler(TMessageRecord& message) {
    if (!state_) return;
    TDialogState& s = *state_;
    if (message.Msg == WM_ACTIVATE) {
        if (!IsOwnForeground()) {
            for (TVxOriginBtn* button : s.Buttons)
                if (button != nullptr) button->CancelPress();
        }
    } else if (message.Msg == WM_COMMAND && LOWORD(message.WParam) == kAddButtonId &&
               HIWORD(message.WParam) == BN_CLICKED) {
        ++s.AddCount;
    } else if (message.Msg == WM_SIZE && s.StatusBar != nullptr) {
        // The bar has just fitted itself to the new width, but the status control repaints only
        // what the move uncovered: its old right edge would stay drawn where the narrow dialog
        // ended (the dialog widens at "Define Custom Colors >>").
        ::InvalidateRect(s.StatusBar->Window, nullptr, TRUE);
    }
}
