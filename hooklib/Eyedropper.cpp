// Eyedropper.cpp: picking a colour off the screen and handing it to the dialog.
#include "Eyedropper.h"

#include "DialogState.h"
#include "HookBlock.h"

namespace {

bool PointInButton(const TVxOriginBtn* button, LPARAM lParam) {
    const POINT p{static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
    return ::PtInRect(&button->BoundsRect, p) != FALSE;
}

bool PickWebSafe(TDialogState& s) {
    if (!s.ReadWebSafe) return s.WebSafe;
    TSharedBlock* block = HookBlock();
    if (block == nullptr) return false;
    s.WebSafe = block->WebSafe != 0;
    s.ReadWebSafe = false;
    return s.WebSafe;
}

}  // namespace

void OnSpuitDrag(TMessageRecord* record) noexcept {
    Guarded([record] {
        TDialogState* state = SenderState(record);
        if (state == nullptr) return;
        TDialogState& s = *state;
        TVxOriginBtn* spuit = s.Button(kSpuitButton);
        const COLORREF color =
            PointInButton(spuit, record->LParam) ? spuit->SavedColor : PixelUnderCursor(PickWebSafe(s));
        if (color != spuit->Color) {
            spuit->SetColor(color);
            SendColor(s, color);
        }
    });
}

void OnSpuitRelease(TMessageRecord* record) noexcept {
    if (TDialogState* state = SenderState(record)) state->ReadWebSafe = true;
}

void OnSetColorClick(TMessageRecord* record) noexcept {
    Guarded([record] {
        TDialogState* state = SenderState(record);
        if (state == nullptr) return;
        TDialogState& s = *state;
        const RECT dialogRect = DialogWindowRect(s.Dialog);
        POINT cursor{};
        ::GetCursorPos(&cursor);
        if (!::PtInRect(&dialogRect, cursor)) {
            ShowStatus(s, s.StatusTexts[kMessageOutside]);
            return;
        }
        // A click on a custom cell makes it the add button's target.
        if (!PointInButton(s.Button(kSetColorButton), record->LParam)) ClickAtCursor();
        const POINT basic = CellPoint(s.CellGeometry.Basic, dialogRect, 0, 0);
        ::SetCursorPos(basic.x, basic.y);
        ClickAtCursor();
        s.ApplyTimer->Start();
        ::SetCursorPos(cursor.x, cursor.y);
        ShowStatus(s, s.StatusTexts[kMessageInside]);
    });
}

void OnApplyTimer(TMessageRecord* record) noexcept {
    Guarded([record] {
        TDialogState* state = SenderState(record);
        if (state == nullptr) return;
        TDialogState& s = *state;
        s.ApplyTimer->Stop();
        SendColor(s, s.Button(kSpuitButton)->Color);
        PressAdd(s);
    });
}
