// Eyedropper.cpp: picking a colour off the screen and handing it to the dialog.
#include "Eyedropper.h"

#include "DialogPalette.h"
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
        // A click on a custom cell makes it the add button's target. Wine's dialog keeps its own
        // add counter instead; there the tick fills the cell under the pointer itself.
        const bool onButton = PointInButton(s.Button(kSetColorButton), record->LParam);
        s.TargetCell = s.AddFollowsCounter && !onButton ? CellAt(s.CellGeometry.Custom, dialogRect, kCustomRows, cursor) : -1;
        if (!onButton) ClickAtCursor();
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
        const COLORREF picked = s.Button(kSpuitButton)->Color;
        const int target = s.TargetCell;
        s.TargetCell = -1;
        if (target < 0) {
            SendColor(s, picked);
            PressAdd(s);
            return;
        }
        // The add counter cannot be pointed at a cell, so every cell is typed in again, as a load
        // does, with the cells' present colours as the dialog painted them and the pick in the target.
        HWND dialog = s.Dialog;
        pelmira::TPaletteColors colors{};
        if (!ReadCustomCells(s, colors)) return;
        colors[target] = picked;
        const TTypingGuard typing;
        for (int cell : PaletteApplyOrder(static_cast<int>(s.AddCount % 16))) {
            if (DialogStateOf(dialog) != &s) return;  // the host closed the dialog from a notification
            SendColor(s, colors[cell]);
            PressAdd(s);
        }
        if (DialogStateOf(dialog) == &s) SendColor(s, picked);
    });
}
