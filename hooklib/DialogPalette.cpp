// DialogPalette.cpp: palette files into and out of the taken-over dialog's custom colours.
//
// A load never writes the custom colours directly (the dialog keeps them to itself): it selects
// the first custom cell with a synthetic click and types each entry into the red, green and blue
// boxes followed by the add button. A save reads the cells' pixels off the screen.
#include "DialogPalette.h"

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
        if (OpenFileDialog(s.Dialog, s.CurrentPalette.FileName, s.Settings.PaletteFilter,
                           BlockText(block->PaletteFolder), result)) {
            s.CurrentPalette = result;
            chosen = true;
        }
    }
    // The open box ran a modal loop: the dialog may have ended meanwhile.
    if (DialogStateOf(dialog) != &s) return;
    if (!pelmira::HasPaletteExtension(s.CurrentPalette.FullPath)) {
        s.CurrentPalette = kept;
        return;
    }
    if (!chosen) return;

    // Read and check the file before the dialog is touched: a file that cannot be read leaves
    // the custom colours as they are.
    std::string text;
    if (ReadPaletteFile(s.CurrentPalette.FullPath, text) != TPaletteReadResult::Ok) {
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
    ShowPaletteName(s);
    ::SetCursorPos(cursor.x, cursor.y);
}

// The save box has just closed over the dialog. Windows repaints the uncovered area at once, and
// UpdateWindow finishes it; on an X11 desktop (Wine) the uncovering arrives later as exposure
// events and the painted bits reach the screen on the thread's next message check. So: repaint
// the whole dialog now, then let the thread look at its queue a few times (without removing
// anything) before the pixels are read.
void FlushPendingPaints(HWND dialog) {
    constexpr int kSettleRounds = 6;
    constexpr DWORD kSettleSliceMs = 10;
    ::RedrawWindow(dialog, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int i = 0; i < kSettleRounds; ++i) {
        MSG msg;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kSettleSliceMs, QS_PAINT);
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        ::UpdateWindow(dialog);
    }
    ::GdiFlush();
}

void SavePalette(TDialogState& s) {
    TSharedBlock* block = HookBlock();
    if (block == nullptr) return;
    HWND dialog = s.Dialog;

    TOpenSave result;
    if (!SaveFileDialog(s.Dialog, s.CurrentPalette.FileName, s.Settings.PaletteFilter,
                        BlockText(block->PaletteFolder), result))
        return;
    if (DialogStateOf(dialog) != &s) return;
    const std::string path = pelmira::PaletteSavePath(result.FullPath);
    if (path != result.FullPath) result = SplitSaveResult(path);
    s.CurrentPalette = result;

    FlushPendingPaints(dialog);
    // Letting the thread look at its queue may have run a close of the dialog.
    if (DialogStateOf(dialog) != &s) return;
    const RECT dialogRect = DialogWindowRect(s.Dialog);
    pelmira::TPaletteColors colors{};
    {
        const TScopedDC screen(nullptr);
        for (int c = 0; c < kGridColumns; ++c) {
            for (int r = 0; r < kCustomRows; ++r) {
                const POINT p = CellPoint(s.CellGeometry.Custom, dialogRect, c, r);
                colors[r * kGridColumns + c] = screen ? ::GetPixel(screen, p.x, p.y) : CLR_INVALID;
            }
        }
    }
    if (WritePaletteFile(s.CurrentPalette.FullPath, pelmira::FormatPaletteText(colors)))
        ShowPaletteName(s);
    else
        ShowStatus(s, s.Settings.SaveFailed + " " + s.CurrentPalette.FileName);
}

}  // namespace

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
