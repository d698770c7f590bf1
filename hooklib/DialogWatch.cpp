// DialogWatch.cpp: the taken-over dialog's activation and add-button watch (see DialogWatch.h).
#include "DialogWatch.h"

#include "DialogState.h"
#include "SharedNames.h"

TDialogWatch::TDialogWatch(HWND dialog) : TSubClass(dialog) {
    Listen(WM_ACTIVATE);
    Listen(WM_COMMAND);
    Listen(WM_SIZE);
}

void TDialogWatch::DefaultHandler(TMessageRecord& message) {
    if (!gDialog || gDialog->Dialog != Handle) return;
    if (message.Msg == WM_ACTIVATE) {
        if (!IsOwnForeground()) {
            for (TVxOriginBtn* button : gDialog->Buttons)
                if (button != nullptr) button->CancelPress();
        }
    } else if (message.Msg == WM_COMMAND && LOWORD(message.WParam) == kAddButtonId &&
               HIWORD(message.WParam) == BN_CLICKED) {
        ++gDialog->AddCount;
    } else if (message.Msg == WM_SIZE && gDialog->StatusBar != nullptr) {
        // The bar has just fitted itself to the new width, but the status control repaints only
        // what the move uncovered: its old right edge would stay drawn where the narrow dialog
        // ended (the dialog widens at "Define Custom Colors >>").
        ::InvalidateRect(gDialog->StatusBar->Window, nullptr, TRUE);
    }
}
