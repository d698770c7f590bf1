// DialogState.h: the state of the one taken-over colour dialog of this process, shared by the
// take-over (TakeOver.cpp), the palette load and save (DialogPalette.cpp), the eyedropper
// (Eyedropper.cpp) and the dialog watch (DialogWatch.cpp). Internal to the library.
//
// Everything runs on the thread that owns the dialog. gDialog holds the state from WM_INITDIALOG
// to WM_DESTROY; only the take-over sets and drops it. The window-bound objects it points to
// (panel, buttons, timers, status bar, tool tip, drop target) belong to their windows and are
// freed by the framework at WM_DESTROY; the rest (fonts, texts, the pending palette) belongs to
// TDialogState. A handler that runs a modal loop (a file box) must check afterwards that gDialog
// still holds the state it started with.
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

    TVxOriginBtn* Button(TPanelButton which) const { return Buttons[which]; }
    HWND Control(int index) const { return Controls[index]; }
};

extern std::unique_ptr<TDialogState> gDialog;

// Runs a handler body so that no C++ exception reaches the window manager or the host program.
template <class F>
void Guarded(F&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

// The status bar's text; nothing when no dialog is taken over.
void ShowStatus(const std::string& text);
// The current palette's file name in the status bar.
void ShowPaletteName();

// The window's rectangle in screen coordinates (empty when the window is gone).
RECT DialogWindowRect(HWND window);

// A synthetic left click wherever the cursor is.
void ClickAtCursor();

// The dialog's own boxes and buttons, driven as the user would.
void SendText(HWND control, const std::string& text);
void SendColor(const TDialogState& state, COLORREF color);
void PressAdd(const TDialogState& state);
