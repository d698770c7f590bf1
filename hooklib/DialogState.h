// DialogState.h: the state of one taken-over colour dialog, shared by the take-over
// (TakeOver.cpp), the palette load and save (DialogPalette.cpp), the eyedropper (Eyedropper.cpp)
// and the dialog watch (DialogWatch.cpp). Internal to the library.
//
// Each taken-over dialog has its own state, reached from the dialog window (DialogStateOf), so
// dialogs of several threads of one process work side by side; everything of one dialog runs on
// the thread that owns it. The dialog's watch (TDialogWatch) owns the state from the end of the
// take-over to the dialog's WM_DESTROY. The window-bound objects it points to (panel, buttons,
// timers, status bar, tool tip, drop target) belong to their windows and are freed by the
// framework at WM_DESTROY; the rest (fonts, texts, the pending palette) belongs to TDialogState.
// A handler that runs a modal loop (a file box) or lets the thread check its messages must ask
// DialogStateOf again afterwards: the dialog may have ended meanwhile.
#pragma once

#include "Config.h"

#include "APIWindow.h"
#include "CellGeometry.h"
#include "CmCtrl.h"
#include "DialogSettings.h"
#include "GDIObject.h"
#include "PaletteText.h"
#include "UtilClass.h"
#include "UtilFunc.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

// Indexes into the control list.
enum { kListRed, kListGreen, kListBlue, kListAdd, kListDialog, kListSize };

// Status texts after the four tool-tip texts.
inline constexpr int kMessageInside = kPanelButtonCount;
inline constexpr int kMessageOutside = kPanelButtonCount + 1;

struct TDialogState {
    HWND Dialog = nullptr;
    bool Counted = false;  // false when the count stood at 253 at the take-over
    std::array<HWND, kListSize> Controls{};
    TAPIPanel* ButtonPanel = nullptr;
    std::array<TVxOriginBtn*, kPanelButtonCount> Buttons{};
    TCellGeometry CellGeometry;
    TAPITimer* ApplyTimer = nullptr;
    TAPITimer* LoadTimer = nullptr;
    TAPIStatusBar* StatusBar = nullptr;
    TToolTip* ToolTip = nullptr;
    std::vector<UINT_PTR> ToolIds;
    std::vector<std::string> StatusTexts;
    TAPIDragDrop* DropTarget = nullptr;
    std::unique_ptr<TAPICFont> TipFont;
    std::unique_ptr<TAPICFont> StatusFont;
    TOpenSave CurrentPalette;
    TDialogSettings Settings;

    // Wine's dialog fills the custom cells from its own counter instead of the clicked cell; the
    // load then types the entries in the order that still puts entry k into cell k.
    bool AddFollowsCounter = false;
    unsigned AddCount = 0;  // adds seen since the dialog opened

    // A palette read and checked at the load click, typed in at the LoadTimer tick.
    bool LoadPending = false;
    pelmira::TPaletteEntries PendingEntries;

    // The web-safe switch, read from the block once per drag (at its first move) and kept for the
    // rest of it, so that a drag does not go to the shared section at every mouse move.
    bool WebSafe = false;
    bool ReadWebSafe = true;

    // The custom cell a set-colour release landed on (-1: none), filled at the ApplyTimer tick.
    int TargetCell = -1;

    // The Alt+letter keys: the message hook on the dialog's thread, and the button whose key was
    // taken (-1: none), pressed at the next tick of the dialog's key timer.
    HHOOK KeyHook = nullptr;
    int PendingKey = -1;

    TVxOriginBtn* Button(TPanelButton which) const { return Buttons[which]; }
    HWND Control(int index) const { return Controls[index]; }
};

// The state of the taken-over dialog that `window` is or lies in; null when there is none (the
// dialog was never taken over, or has ended).
TDialogState* DialogStateOf(HWND window) noexcept;
// The state of the dialog whose added control (button, timer, drop target, tool tip) sent the
// record: every one of them hands itself over in the record's Msg.
TDialogState* SenderState(const TMessageRecord* record) noexcept;
// Binds the state to its dialog window, or unbinds it (null).
void BindDialogState(HWND dialog, TDialogState* state) noexcept;

// Runs a handler body so that no C++ exception reaches the window manager or the host program.
template <class F>
void Guarded(F&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

// The dialog's status bar text.
void ShowStatus(const TDialogState& state, const std::string& text);
// The current palette's file name in the status bar.
void ShowPaletteName(const TDialogState& state);

// The window's rectangle in screen coordinates (empty when the window is gone).
RECT DialogWindowRect(HWND window);

// A synthetic left click wherever the cursor is.
void ClickAtCursor();

// Held while a burst of box writes (a palette typed in) runs, so that such bursts go one dialog
// at a time per process. Wine's text analysis behind the edit boxes keeps a per-font cache list
// that two threads filling edit boxes at once can corrupt (every edit box of the host then hangs),
// and 48 writes in a row are the burst most likely to meet another thread's.
class TTypingGuard {
public:
    TTypingGuard() noexcept;
    ~TTypingGuard();
    TTypingGuard(const TTypingGuard&) = delete;
    TTypingGuard& operator=(const TTypingGuard&) = delete;
};

// The dialog's own boxes and buttons, driven as the user would.
void SendText(HWND control, const std::string& text);
void SendColor(const TDialogState& state, COLORREF color);
void PressAdd(const TDialogState& state);
