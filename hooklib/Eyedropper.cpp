// Eyedropper.cpp: picking a colour off the screen and handing it to the dialog.
#include "Eyedropper.h"

#include "DialogState.h"
#include "HookBlock.h"

namespace {

// The web-safe switch, read from the block once per drag (at its first move) and kept for the
// rest of it, so that a drag does not go to the shared section at every mouse move.
bool gWebSafe = false;
bool gReadWebSafe = true;

bool PointInButton(const TVxOriginBtn* button, LPARAM lParam) {
    const POINT p{static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
    return ::PtInRect(&button->BoundsRect, p) != FALSE;
}

bool PickWebSafe() {
    if (!gReadWebSafe) return gWebSafe;
    TSharedBlock* block = HookBlock();
    if (block == nullptr) return false;
    gWebSafe = block->WebSafe != 0;
    gReadWebSafe = false;
    return gWebSafe;
}

}  // namespace

void OnSpuitDrag(TMessageRecord* record) noexcept {
    Guarded([record] {
        if (!gDialog) return;
        TDialogState& s = *gDialog;
        TVxOriginBtn* spuit = s.Button(kSpuitButton);
        const COLORREF color =
            PointInButton(spuit, record->LParam) ? spuit->SavedColor : PixelUnderCursor(PickWebSafe());
        if (color != spuit->Color) {
            spuit->SetColor(color);
            SendColor(s, color);
        }
    });
}

void OnSpuitRelease(TMessageRecord*) noexcept { gReadWebSafe = true; }

void OnSetColorClick(TMessageRecord* record) noexcept {
    Guarded([record] {
        if (!gDialog) return;
        TDialogState& s = *gDialog;
        const RECT dialogRect = DialogWindowRect(s.Dialog);
        POINT cursor{};
        ::GetCursorPos(&cursor);
        if (!::PtInRect(&dialogRect, cursor)) {
            ShowStatus(s.StatusTexts[kMessageOutside]);
            return;
        }
        // A click on a custom cell makes it the add button's target.
        if (!PointInButton(s.Button(kSetColorButton), record->LParam)) ClickAtCursor();
        const POINT basic = CellPoint(s.CellGeometry.Basic, dialogRect, 0, 0);
        ::SetCursorPos(basic.x, basic.y);
        ClickAtCursor();
        s.ApplyTimer->Start();
        ::SetCursorPos(cursor.x, cursor.y);
        ShowStatus(s.StatusTexts[kMessageInside]);
    });
}

void OnApplyTimer(TMessageRecord*) noexcept {
    Guarded([] {
        if (!gDialog) return;
        TDialogState& s = *gDialog;
        s.ApplyTimer->Stop();
        SendColor(s, s.Button(kSpuitButton)->Color);
        PressAdd(s);
    });
}
