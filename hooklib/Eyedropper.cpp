// Eyedropper.cpp: picking a colour off the screen and handing it to the dialog.
#include "Eyedropper.h"

#include "DialogPalette.h"
#include "DialogState.h"
#include "DisplayScale.h"
#include "HookBlock.h"
#include "Magnifier.h"
#include "UtilFunc.h"

namespace {

// The magnifier of the drag in progress, from its first move off the button to its end, and the
// dialog of that drag. One pointer, one drag at a time: a drag begins and ends on the thread of its
// dialog, so only that thread touches these while it lasts.
std::unique_ptr<TMagnifier> gMagnifier;
HWND gMagnifierDialog = nullptr;

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

// The web-safe switch is read again at the next drag of the dialog.
void EndDrag(TDialogState* s) {
    gMagnifier.reset();
    gMagnifierDialog = nullptr;
    if (s != nullptr) s->ReadWebSafe = true;
}

// A poll of the magnifier while the pointer rests: the drag may have ended without a release
// reaching the button (a deactivation drops the press), and the screen may have changed.
void OnMagnifierTick() {
    Guarded([] {
        TDialogState* s = DialogStateOf(gMagnifierDialog);
        if (s == nullptr || !s->Button(kSpuitButton)->Pressed) {
            EndDrag(s);
            return;
        }
        const TPhysicalPixelScope physical;
        POINT cursor{};
        if (gMagnifier && physical.CursorPos(cursor)) gMagnifier->Follow(cursor);
    });
}

// `cursor` is null when the pointer could not be read. Called inside the pick's physical-pixel
// scope: the window made here is per-monitor aware like the thread, so its place, its size and
// its picture are in the same pixels as the pick.
void FollowWithMagnifier(const TDialogState& s, bool overButton, const POINT* cursor) {
    // Over the button itself the pick is the button's saved colour, not the pixels shown; a
    // pick by key (no press) has nothing to follow.
    if (!s.Settings.Magnifier || overButton || !s.Button(kSpuitButton)->Pressed || cursor == nullptr) {
        gMagnifier.reset();
        return;
    }
    if (!gMagnifier || gMagnifierDialog != s.Dialog) {
        gMagnifier = std::make_unique<TMagnifier>(s.Settings.MagnifierZoom, OnMagnifierTick, pelmira::WindowDpi(s.Dialog));
        gMagnifierDialog = s.Dialog;
    }
    gMagnifier->Follow(*cursor);
}

bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

}  // namespace

void OnSpuitDrag(TMessageRecord* record) noexcept {
    Guarded([record] {
        TDialogState* state = SenderState(record);
        if (state == nullptr) return;
        TDialogState& s = *state;
        TVxOriginBtn* spuit = s.Button(kSpuitButton);
        const bool overButton = PointInButton(spuit, record->LParam);
        // One reading of the pointer serves the pick and the magnifier, both in physical pixels;
        // the button and the dialog are drawn and told outside, in the host's own coordinates.
        POINT cursor{};
        bool pointerRead = false;
        COLORREF color = spuit->SavedColor;
        {
            const TPhysicalPixelScope physical;
            pointerRead = physical.CursorPos(cursor);
            if (!overButton) color = pointerRead ? ScreenPixel(cursor, PickWebSafe(s)) : CLR_INVALID;
        }
        if (color != spuit->Color) {
            spuit->SetColor(color);
            SendColor(s, color);
        }
        const TPhysicalPixelScope physical;
        FollowWithMagnifier(s, overButton, pointerRead ? &cursor : nullptr);
    });
}

void OnSpuitRelease(TMessageRecord* record) noexcept {
    Guarded([record] { EndDrag(SenderState(record)); });
}

bool OnSpuitKey(const MSG& msg) noexcept {
    bool used = false;
    Guarded([&msg, &used] {
        if (msg.message != WM_KEYDOWN) return;
        TDialogState* state = DialogStateOf(msg.hwnd);
        if (state == nullptr) return;
        TVxOriginBtn* spuit = state->Button(kSpuitButton);
        if (spuit == nullptr || !spuit->Pressed) return;
        POINT step{};
        switch (msg.wParam) {
        case VK_LEFT: step.x = -1; break;
        case VK_RIGHT: step.x = 1; break;
        case VK_UP: step.y = -1; break;
        case VK_DOWN: step.y = 1; break;
        case VK_ESCAPE:
            // Kept from the dialog too, whose Esc would close it under the drag.
            spuit->CancelPress();
            EndDrag(state);
            used = true;
            return;
        default: return;
        }
        used = true;
        const int size = KeyDown(VK_SHIFT) ? 10 : 1;
        POINT cursor{};
        {
            // A step is one screen pixel, also where the host's pixels are scaled up.
            const TPhysicalPixelScope physical;
            if (!physical.CursorPos(cursor)) return;
            if (!::SetCursorPos(cursor.x + step.x * size, cursor.y + step.y * size)) return;
        }
        ::GetCursorPos(&cursor);  // where the screen's edge let it go, in the button's coordinates
        // A moved pointer need not bring a mouse move; the pick follows the key at once, with the
        // position a move would carry (the button's client coordinates, 16 bits each).
        POINT client = cursor;
        ::ScreenToClient(spuit->Handle, &client);
        TMessageRecord move{};
        move.Msg = reinterpret_cast<UINT_PTR>(spuit);  // as the button hands itself to its events
        move.LParam = static_cast<LPARAM>(MAKELONG(static_cast<WORD>(client.x), static_cast<WORD>(client.y)));
        OnSpuitDrag(&move);
    });
    return used;
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
