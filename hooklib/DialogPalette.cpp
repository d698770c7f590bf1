// DialogPalette.cpp: palette files into and out of the taken-over dialog's custom colours.
//
// A load never writes the custom colours directly (the dialog keeps them to itself): it selects
// the first custom cell with a synthetic click and types each entry into the red, green and blue
// boxes followed by the add button. A save reads the cells' pixels as the dialog painted them,
// and refuses (with a word in the status bar) when it cannot.
#include "DialogPalette.h"

#include "DialogFormats.h"
#include "DialogState.h"
#include "HookBlock.h"
#include "PaletteFile.h"
#include "PaletteText.h"
#include "ScopedHandles.h"

namespace {

void LoadPalette(TDialogState& s, const std::string* droppedFile) {
    TSharedBlock* block = HookBlock();
    if (block == nullptr) return;
    HWND dialog = s.Dialog;

    const POINT firstCell = CellPoint(s.CellGeometry.Custom, DialogWindowRect(s.Dialog), 0, 0);
    const TOpenSave kept = s.CurrentPalette;

    bool chosen = false;
    if (droppedFile != nullptr) {
        s.CurrentPalette = TOpenSave{*droppedFile, FileNameOf(*droppedFile), DirectoryOf(*droppedFile),
                                     ExtensionOf(*droppedFile)};
        chosen = true;
    } else {
        TOpenSave result;
        if (OpenFileDialog(s.Dialog, s.CurrentPalette.FileName, LoadFilter(s.Settings.PaletteFilter, s.Settings.AllPalettes),
                           BlockText(block->PaletteFolder), result)) {
            s.CurrentPalette = result;
            chosen = true;
        }
    }
    // The open box ran a modal loop: the dialog may have ended meanwhile.
    if (DialogStateOf(dialog) != &s) return;
    if (!IsLoadablePath(s.CurrentPalette.FullPath)) {
        const std::string name = s.CurrentPalette.FileName;
        s.CurrentPalette = kept;
        // A file picked in the open box gets an answer; a dropped one is passed over quietly.
        if (chosen && droppedFile == nullptr) ShowStatus(s, s.Settings.NotPalette + " " + name);
        return;
    }
    if (!chosen) return;

    // Read and check the file before the dialog is touched: a file that cannot be read leaves
    // the custom colours as they are.
    std::string text;
    std::size_t colorCount = 0;
    bool read = false;
    if (IsForeignPalettePath(s.CurrentPalette.FullPath)) {
        const TForeignLoad foreign = LoadForeignPalette(s.CurrentPalette.FullPath);
        read = foreign.Ok;
        text = foreign.PaletteText;
        colorCount = foreign.ColorCount;
    } else {
        read = ReadPaletteFile(s.CurrentPalette.FullPath, text) == TPaletteReadResult::Ok;
    }
    if (!read && droppedFile != nullptr && IsForeignPalettePath(*droppedFile)) {
        // A dropped file that no reader takes (a ".txt" of notes) is passed over like any other
        // file that is not a palette; one chosen in the open box was meant to load and says so.
        s.CurrentPalette = kept;
        return;
    }
    if (!read) {
        const std::string name = s.CurrentPalette.FileName;
        s.CurrentPalette = kept;
        ShowStatus(s, s.Settings.LoadFailed + " " + name);
        return;
    }
    s.PendingEntries = pelmira::SplitPaletteText(text);
    s.LoadPending = true;

    PressAdd(s);
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::SetCursorPos(firstCell.x, firstCell.y);
    ClickAtCursor();  // selects the first custom cell as the add button's target
    s.LoadTimer->Start();
    WriteBlockText(block->PaletteFolder, s.CurrentPalette.Directory);
    if (colorCount > pelmira::kPaletteEntries)
        ShowStatus(s, MoreColorsText(s.Settings.MoreColors, s.CurrentPalette.FileName, colorCount));
    else
        ShowPaletteName(s);
    ::SetCursorPos(cursor.x, cursor.y);
}

// The save box has just closed over the dialog, and the cells are read through the grid's own
// device context (ReadCustomCells). Windows repaints the uncovered area at once, and the
// repaint below finishes it before any pixel is read. Under Wine (X11) the uncovering also
// arrives later as exposure events, but those only copy the window's surface, which already
// holds every painted pixel, to the screen: the context reads the surface, so nothing there is
// worth waiting for.
void FlushPendingPaints(HWND dialog) {
    ::RedrawWindow(dialog, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::GdiFlush();
}


void SavePalette(TDialogState& s) {
    TSharedBlock* block = HookBlock();
    if (block == nullptr) return;
    HWND dialog = s.Dialog;

    TOpenSave result;
    if (!SaveFileDialog(s.Dialog, s.CurrentPalette.FileName, SaveFilter(s.Settings.PaletteFilter),
                        BlockText(block->PaletteFolder), result))
        return;
    if (DialogStateOf(dialog) != &s) return;
    const std::string path = pelmira::PaletteSavePath(result.FullPath);
    if (path != result.FullPath) result = SplitSaveResult(path);

    FlushPendingPaints(dialog);
    // The repaint ran the host's own paint and colour handlers, which may have closed the dialog.
    if (DialogStateOf(dialog) != &s) return;
    pelmira::TPaletteColors colors{};
    if (!ReadCustomCells(s, colors)) {
        ShowStatus(s, s.Settings.SaveUnreadable);  // nothing written: the palette stays the one it was
        return;
    }
    s.CurrentPalette = result;
    const bool saved = IsForeignPalettePath(s.CurrentPalette.FullPath)
                           ? SaveForeignPalette(s.CurrentPalette.FullPath, colors).empty()
                           : WritePaletteFile(s.CurrentPalette.FullPath, pelmira::FormatPaletteText(colors));
    if (saved)
        ShowPaletteName(s);
    else
        ShowStatus(s, s.Settings.SaveFailed + " " + s.CurrentPalette.FileName);
}

}  // namespace

// The sixteen custom colours as the dialog painted them. They are read through the custom grid's
// own device context, not the screen's: a window's DC reads the window's own bits (the window
// surface under Wine, the redirection surface under desktop composition), which another window
// over the dialog does not change. A cell the DC cannot reach (outside the screen, or covered on a
// desktop that keeps no bits for hidden parts) is outside the DC's visible region: then there is
// no true reading, and nothing is answered rather than a colour the cell does not have.
bool ReadCustomCells(const TDialogState& s, pelmira::TPaletteColors& colors) {
    HWND grid = ::GetDlgItem(s.Dialog, kCustomGridId);
    if (grid == nullptr) return false;
    const RECT dialogRect = DialogWindowRect(s.Dialog);
    const TScopedDC dc(grid);
    if (!dc) return false;
    for (int c = 0; c < kGridColumns; ++c) {
        for (int r = 0; r < kCustomRows; ++r) {
            POINT p = CellPoint(s.CellGeometry.Custom, dialogRect, c, r);
            ::ScreenToClient(grid, &p);
            if (!::PtVisible(dc, p.x, p.y)) return false;
            const COLORREF color = ::GetPixel(dc, p.x, p.y);
            if (color == CLR_INVALID) return false;
            colors[r * kGridColumns + c] = color;
        }
    }
    return true;
}

// The tick comes after the synthetic click has been processed: the first cell is selected.
void OnLoadTimer(TMessageRecord* record) noexcept {
    Guarded([record] {
        TDialogState* state = SenderState(record);
        if (state == nullptr) return;
        TDialogState& s = *state;
        HWND dialog = s.Dialog;
        s.LoadTimer->Stop();
        if (!s.LoadPending) return;
        s.LoadPending = false;
        const int nextSlot = s.AddFollowsCounter ? static_cast<int>(s.AddCount % 16) : 0;
        const TTypingGuard typing;
        for (int entry : PaletteApplyOrder(nextSlot)) {
            if (DialogStateOf(dialog) != &s) return;  // the host closed the dialog from a notification
            const pelmira::TPaletteEntry& e = s.PendingEntries[entry];
            SendText(s.Control(kListRed), e.Red);
            SendText(s.Control(kListGreen), e.Green);
            SendText(s.Control(kListBlue), e.Blue);
            PressAdd(s);
        }
        if (DialogStateOf(dialog) == &s) s.PendingEntries = {};
    });
}

void OnReadClick(TMessageRecord* record) noexcept {
    Guarded([record] {
        if (TDialogState* state = SenderState(record)) LoadPalette(*state, nullptr);
    });
}

void OnDropFiles(TMessageRecord* record) noexcept {
    Guarded([record] {
        auto* drop = reinterpret_cast<TAPIDragDrop*>(record->Msg);
        if (drop == nullptr || drop->FileCount < 1) return;
        TDialogState* state = DialogStateOf(drop->Handle);
        if (state == nullptr) return;
        const std::string first = drop->GetFile(0);
        LoadPalette(*state, &first);
    });
}

void OnWriteClick(TMessageRecord* record) noexcept {
    Guarded([record] {
        if (TDialogState* state = SenderState(record)) SavePalette(*state);
    });
}
