// DialogWatch.cpp: the taken-over dialog's activation and add-button watch (see DialogWatch.h).
#include "DialogWatch.h"

#include "DialogState.h"
#include "TakeOver.h"

TDialogWatch::TDialogWatch(HWND dialog, std::unique_ptr<TDialogState> state)
    : TSubClass(dialog), state_(std::move(state)) {
    Listen(WM_ACTIVATE);
    Listen(WM_COMMAND);
    BindDialogState(dialog, state_.get());
}

TDialogWatch::~TDialogWatch() {
    EndTakeOver(Handle);  // nothing left to do when the hook has already ended it
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
    }
}
