// Eyedropper.cpp: picking a colour off the screen and handing it to the dialog.
#include "Eyedropper.h"

#include "DialogState.h"
#include "HookBlock.h"
#include "Magnifier.h"

namespace {

// The web-safe switch, read from the block once per drag (at its first move) and kept for the
// rest of it, so that a drag does not go to the shared section at every mouse move.
bool gWebSafe = false;
bool gReadWebSafe = true;

// The magnifier of the drag in progress, from its first move off the button to its end, and the
// dialog of that drag. One pointer, one drag at a time.
std::unique_ptr<TMagnifier> gMagnifier;
HWND gMagnifierDialog = nullptr;

// The taken-over dialog that `window` is or lies in; null when there is none.
TDialogState* StateOfWindow(HWND window) {
    if (!gDialog || window == nullptr) return nullptr;
    return window == gDialog->Dialog || ::GetAncestor(window, GA_ROOT) == gDialog->Dialog ? gDialog.get() : nullptr;
}

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

void EndDrag() {
    gMagnifier.reset();
    gMagnifierDialog = nullptr;
    gReadWebSafe = true;
}

// A poll of the magnifier while the pointer rests: the drag may have ended without a release
// reaching the button (a deactivation drops the press), and the screen may have changed.
void OnMagnifierTick() {
    Guarded([] {
        const TDialogState* s = StateOfWindow(gMagnifierDialog);
        if (s == nullptr || !s->Button(kSpuitButton)->Pressed) {
            EndDrag();
            return;
        }
        POINT cursor{};
        if (gMagnifier && ::GetCursorPos(&cursor)) gMagnifier->Follow(cursor);
    });
}

void FollowWithMagnifier(const TDialogState& s, bool overButton) {
    POINT cursor{};
    // Over the button itself the pick is the button's saved colour, not the pixels shown; a
    // pick by key (no press) has nothing to follow.
    if (!s.Settings.Magnifier || overButton || !s.Button(kSpuitButton)->Pressed || !::GetCursorPos(&cursor)) {
        gMagnifier.reset();
        return;
    }
    if (!gMagnifier || gMagnifierDialog != s.Dialog) {
        gMagnifier = std::make_unique<TMagnifier>(s.Settings.MagnifierZoom, OnMagnifierTick);
        gMagnifierDialog = s.Dialog;
    }
    gMagnifier->Follow(cursor);
}

bool KeyDown(int key) { return (::GetKeyState(key) & 0x8000) != 0; }

}  // namespace

void OnSpuitDrag(TMessageRecord* record) noexcept {
    Guarded([record] {
        if (!gDialog) return;
        TDialogState& s = *gDialog;
        TVxOriginBtn* spuit = s.Button(kSpuitButton);
        const bool overButton = PointInButton(spuit, record->LParam);
        const COLORREF color = overButton ? spuit->SavedColor : PixelUnderCursor(PickWebSafe());
        if (color != spuit->Color) {
            spuit->SetColor(color);
            SendColor(s, color);
        }
        FollowWithMagnifier(s, overButton);
    });
}

void OnSpuitRelease(TMessageRecord*) noexcept {
    Guarded([] { EndDrag(); });
}

bool OnSpuitKey(const MSG& msg) noexcept {
    bool used = false;
    Guarded([&msg, &used] {
        if (msg.message != WM_KEYDOWN) return;
        TDialogState* state = StateOfWindow(msg.hwnd);
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
            EndDrag();
            used = true;
            return;
        default: return;
        }
        used = true;
        const int size = KeyDown(VK_SHIFT) ? 10 : 1;
        POINT cursor{};
        if (!::GetCursorPos(&cursor)) return;
        cursor.x += step.x * size;
        cursor.y += step.y * size;
        if (!::SetCursorPos(cursor.x, cursor.y)) return;
        ::GetCursorPos(&cursor);  // where the screen's edge let it go
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
