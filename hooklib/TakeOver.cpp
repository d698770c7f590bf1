// TakeOver.cpp: the colour-dialog take-over (panel, buttons, status bar, tool tips, palettes,
// eyedropper), run on the thread that owns the dialog.
//
// One taken-over dialog per process at a time: its state lives in gDialog from WM_INITDIALOG to
// WM_DESTROY. The window-bound objects (panel, buttons, timers, status bar, tool tip, drop target,
// the dialog watch) belong to their windows and are freed by the framework at WM_DESTROY; the
// rest (fonts, texts, the pending palette) belongs to TDialogState. A second colour dialog opened
// in the same process while one is taken over stays an ordinary dialog, so neither can use state
// that the other's end has freed.
#include "TakeOver.h"

#include "APIWindow.h"
#include "CellGeometry.h"
#include "CmCtrl.h"
#include "DialogSettings.h"
#include "Exports.h"
#include "GDIObject.h"
#include "PaletteFile.h"
#include "PaletteText.h"
#include "SharedBlock.h"
#include "UtilClass.h"
#include "UtilFunc.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kHueBox = 703;
constexpr int kRedBox = 706;
constexpr int kGreenBox = 707;
constexpr int kBlueBox = 708;
constexpr int kAddButton = 712;
constexpr int kBasicGrid = 720;
constexpr int kCustomGrid = 721;
constexpr char kTakeOverProp[] = "Ostvarin";
constexpr int kTitleBuffer = 50;  // at most 49 characters of the host's title are kept

constexpr int kPanelX = 110;
constexpr int kPanelY = 0;
constexpr int kPanelWidth = 120;
constexpr int kPanelHeight = 14;

// Indexes into the control list.
enum { kListRed, kListGreen, kListBlue, kListAdd, kListDialog, kListSize };

// Status texts after the four tool-tip texts.
constexpr int kMessageInside = kPanelButtonCount;
constexpr int kMessageOutside = kPanelButtonCount + 1;

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

std::unique_ptr<TDialogState> gDialog;

// Eyedropper: the web-safe switch and whether it is to be read from the block at the next pick.
bool gWebSafe = false;
bool gReadWebSafe = true;

// Runs a handler body so that no C++ exception reaches the window manager or the host program.
template <class F>
void Guarded(F&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

void ShowStatus(const std::string& text) {
    if (gDialog && gDialog->StatusBar != nullptr) gDialog->StatusBar->SetText(0, text);
}

void ShowPaletteName() {
    if (gDialog) ShowStatus(gDialog->CurrentPalette.FileName);
}

RECT WindowRectOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}

void ClickAtCursor() {
    ::mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
    ::mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

void SendText(HWND control, const std::string& text) {
    ::SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SendColor(const TDialogState& state, COLORREF color) {
    SendText(state.Control(kListRed), IntToText(GetRValue(color)));
    SendText(state.Control(kListGreen), IntToText(GetGValue(color)));
    SendText(state.Control(kListBlue), IntToText(GetBValue(color)));
}

void PressAdd(const TDialogState& state) {
    ::SendMessageA(state.Control(kListAdd), BM_CLICK, 0, 0);
}

// Whether this dialog is Wine's own colour dialog: made from the template of Wine's built-in
// comdlg32 (the dialog's instance is that module, whose image carries Wine's builtin mark).
bool IsWineColorDialog(HWND dialog) {
    auto module = reinterpret_cast<HMODULE>(::GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    if (module == nullptr) return false;
    char path[MAX_PATH + 1] = {};
    if (::GetModuleFileNameA(module, path, MAX_PATH) == 0) return false;
    const std::string name = FileNameOf(path);
    if (::lstrcmpiA(name.c_str(), "comdlg32.dll") != 0) return false;
    static constexpr char kBuiltinMark[] = "Wine builtin DLL";
    const char* image = reinterpret_cast<const char*>(module);
    return std::string(image + 0x40, sizeof kBuiltinMark - 1) == kBuiltinMark;
}

// ---------------------------------------------------------------------------------------------
// Palette load and save
// ---------------------------------------------------------------------------------------------

void LoadPalette(const std::string* droppedFile) {
    TSharedBlock* block = HookBlock();
    if (!gDialog || block == nullptr) return;
    TDialogState& s = *gDialog;

    const POINT firstCell = CellPoint(s.CellGeometry.Custom, WindowRectOf(s.Dialog), 0, 0);
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
    if (gDialog.get() != &s) return;
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
        ShowStatus(s.Settings.LoadFailed + " " + name);
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
    ShowPaletteName();
    ::SetCursorPos(cursor.x, cursor.y);
}

// The tick comes after the synthetic click has been processed: the first cell is selected.
void OnLoadTimer(TMessageRecord*) noexcept {
    Guarded([] {
        if (!gDialog) return;
        TDialogState& s = *gDialog;
        s.LoadTimer->Stop();
        if (!s.LoadPending) return;
        s.LoadPending = false;
        const int nextSlot = s.AddFollowsCounter ? static_cast<int>(s.AddCount % 16) : 0;
        for (int entry : PaletteApplyOrder(nextSlot)) {
            if (gDialog.get() != &s) return;  // the host closed the dialog from a notification
            const pelmira::TPaletteEntry& e = s.PendingEntries[entry];
            SendText(s.Control(kListRed), e.Red);
            SendText(s.Control(kListGreen), e.Green);
            SendText(s.Control(kListBlue), e.Blue);
            PressAdd(s);
        }
        if (gDialog.get() == &s) s.PendingEntries = {};
    });
}

void OnReadClick(TMessageRecord*) noexcept {
    Guarded([] { LoadPalette(nullptr); });
}

void OnDropFiles(TMessageRecord* record) noexcept {
    Guarded([record] {
        auto* drop = reinterpret_cast<TAPIDragDrop*>(record->Msg);
        if (drop == nullptr || drop->FileCount < 1) return;
        const std::string first = drop->GetFile(0);
        LoadPalette(&first);
    });
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

void SavePalette() {
    TSharedBlock* block = HookBlock();
    if (!gDialog || block == nullptr) return;
    TDialogState& s = *gDialog;

    TOpenSave result;
    if (!SaveFileDialog(s.Dialog, s.CurrentPalette.FileName, s.Settings.PaletteFilter,
                        BlockText(block->PaletteFolder), result))
        return;
    if (gDialog.get() != &s) return;
    const std::string path = pelmira::PaletteSavePath(result.FullPath);
    if (path != result.FullPath) result = SplitSaveResult(path);
    s.CurrentPalette = result;

    FlushPendingPaints(s.Dialog);
    const RECT dialogRect = WindowRectOf(s.Dialog);
    pelmira::TPaletteColors colors{};
    {
        HDC screen = ::GetDC(nullptr);
        for (int c = 0; c < kGridColumns; ++c) {
            for (int r = 0; r < kCustomRows; ++r) {
                const POINT p = CellPoint(s.CellGeometry.Custom, dialogRect, c, r);
                colors[r * kGridColumns + c] = screen != nullptr ? ::GetPixel(screen, p.x, p.y) : CLR_INVALID;
            }
        }
        if (screen != nullptr) ::ReleaseDC(nullptr, screen);
    }
    if (WritePaletteFile(s.CurrentPalette.FullPath, pelmira::FormatPaletteText(colors)))
        ShowPaletteName();
    else
        ShowStatus(s.Settings.SaveFailed + " " + s.CurrentPalette.FileName);
}

void OnWriteClick(TMessageRecord*) noexcept {
    Guarded([] { SavePalette(); });
}

// ---------------------------------------------------------------------------------------------
// Eyedropper
// ---------------------------------------------------------------------------------------------

bool PointInButton(const TVxOriginBtn* button, LPARAM lParam) {
    const POINT p{static_cast<LONG>(LOWORD(lParam)), static_cast<LONG>(HIWORD(lParam))};
    return ::PtInRect(&button->BoundsRect, p) != FALSE;
}

COLORREF WebSafe(COLORREF color) {
    return RGB(RoundToWebSafe(GetRValue(color)), RoundToWebSafe(GetGValue(color)),
               RoundToWebSafe(GetBValue(color)));
}

COLORREF ScreenPixelUnderCursor() {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HDC screen = ::GetDC(nullptr);
    if (screen == nullptr) return CLR_INVALID;
    const COLORREF color = ::GetPixel(screen, cursor.x, cursor.y);
    ::ReleaseDC(nullptr, screen);
    return color;
}

void OnSpuitDrag(TMessageRecord* record) noexcept {
    Guarded([record] {
        if (!gDialog) return;
        TDialogState& s = *gDialog;
        TVxOriginBtn* spuit = s.Button(kSpuitButton);
        COLORREF color;
        if (PointInButton(spuit, record->LParam)) {
            color = spuit->SavedColor;
        } else {
            color = ScreenPixelUnderCursor();
            bool webSafe = gWebSafe;
            if (gReadWebSafe) {
                if (TSharedBlock* block = HookBlock()) {
                    gWebSafe = block->WebSafe != 0;
                    gReadWebSafe = false;
                    webSafe = gWebSafe;
                } else {
                    webSafe = false;
                }
            }
            if (webSafe) color = WebSafe(color);
        }
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
        const RECT dialogRect = WindowRectOf(s.Dialog);
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

// ---------------------------------------------------------------------------------------------
// Tool tips
// ---------------------------------------------------------------------------------------------

void OnTipShow(TMessageRecord*) noexcept {
    Guarded([] {
        if (!gDialog || gDialog->ToolTip == nullptr) return;
        TDialogState& s = *gDialog;
        TOOLINFOA info{};
        if (!s.ToolTip->GetCurrentTool(info)) return;
        for (std::size_t i = 0; i < s.ToolIds.size(); ++i) {
            if (s.ToolIds[i] == info.uId) {
                ShowStatus(s.StatusTexts[i]);
                return;
            }
        }
    });
}

void OnTipPop(TMessageRecord*) noexcept {
    Guarded([] { ShowPaletteName(); });
}

// ---------------------------------------------------------------------------------------------
// The dialog's own messages
// ---------------------------------------------------------------------------------------------

// Watches the dialog: a deactivation to another thread drops any press of the panel buttons
// (their capture would otherwise outlive the dialog's focus), and every add is counted.
class TDialogWatch : public TSubClass {
public:
    explicit TDialogWatch(HWND dialog) : TSubClass(dialog) {
        Listen(WM_ACTIVATE);
        Listen(WM_COMMAND);
    }

    void DefaultHandler(TMessageRecord& message) override {
        if (!gDialog || gDialog->Dialog != Handle) return;
        if (message.Msg == WM_ACTIVATE) {
            if (!IsOwnForeground()) {
                for (TVxOriginBtn* button : gDialog->Buttons)
                    if (button != nullptr) button->CancelPress();
            }
        } else if (message.Msg == WM_COMMAND && LOWORD(message.WParam) == kAddButton &&
                   HIWORD(message.WParam) == BN_CLICKED) {
            ++gDialog->AddCount;
        }
    }
};

// ---------------------------------------------------------------------------------------------
// Take-over steps
// ---------------------------------------------------------------------------------------------

struct TLayoutRestore {
    const TSharedBlock* Block;
    int Counter;
};

BOOL CALLBACK RestoreChild(HWND child, LPARAM param) noexcept {
    auto* restore = reinterpret_cast<TLayoutRestore*>(param);
    if (restore->Counter <= kChildRectCount) {
        const TBlockRect& r = restore->Block->ChildRects[restore->Counter - 1];
        ::SetWindowPos(child, nullptr, r.Left, r.Top, 0, 0, SWP_NOZORDER | SWP_NOSIZE);
        ::SetWindowPos(child, nullptr, 0, 0, r.Width, r.Height, SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
        ::EnableWindow(child, TRUE);
        ::ShowWindow(child, SW_SHOW);
    }
    ++restore->Counter;
    return TRUE;
}

void RestoreLayout(HWND dialog, const TSharedBlock& block) {
    ::SetWindowPos(dialog, nullptr, 0, 0, block.DialogRect.Width, block.DialogRect.Height,
                   SWP_NOACTIVATE | SWP_NOZORDER | SWP_NOMOVE);
    TLayoutRestore restore{&block, 1};
    ::EnumChildWindows(dialog, RestoreChild, reinterpret_cast<LPARAM>(&restore));
}

bool IsStatic(HWND window) {
    char name[16] = {};
    ::GetClassNameA(window, name, sizeof name);
    return ::lstrcmpiA(name, "Static") == 0;
}

struct TCaptionSearch {
    HWND Dialog;
    RECT Grid;
    HWND Found;
    LONG Distance;
};

// The static just above the custom grid, overlapping it horizontally: the grid's caption.
BOOL CALLBACK FindCaption(HWND child, LPARAM param) noexcept {
    auto* search = reinterpret_cast<TCaptionSearch*>(param);
    if (::GetParent(child) != search->Dialog || !IsStatic(child)) return TRUE;
    const RECT r = WindowRectOf(child);
    const LONG distance = search->Grid.top - r.bottom;
    const bool overlaps = r.left < search->Grid.right && r.right > search->Grid.left;
    if (overlaps && distance >= -2 && distance < search->Distance && r.bottom - r.top >= kPanelHeight &&
        r.right - r.left >= kPanelX + kPanelWidth) {
        search->Found = child;
        search->Distance = distance;
    }
    return TRUE;
}

// Where the button panel goes: on the window that follows the basic grid, which in the standard
// template is the custom grid's caption. In Wine's dialog that window is the custom grid itself,
// where the panel would cover cells; the caption is then looked up above the grid. Without one
// the panel sits on the dialog just above the grid. `at` receives the panel's position.
HWND PanelParent(HWND dialog, HWND basicGrid, POINT& at) {
    at = POINT{kPanelX, kPanelY};
    HWND next = ::GetWindow(basicGrid, GW_HWNDNEXT);
    HWND customGrid = ::GetDlgItem(dialog, kCustomGrid);
    if (next != nullptr && (customGrid == nullptr || next != customGrid)) return next;
    if (customGrid == nullptr) return dialog;

    TCaptionSearch search{dialog, WindowRectOf(customGrid), nullptr, 3 * kPanelHeight};
    ::EnumChildWindows(dialog, FindCaption, reinterpret_cast<LPARAM>(&search));
    if (search.Found != nullptr) return search.Found;

    POINT corner{search.Grid.left, search.Grid.top};
    ::ScreenToClient(dialog, &corner);
    at = POINT{corner.x + kPanelX, corner.y > kPanelHeight ? corner.y - kPanelHeight : 0};
    return dialog;
}

void ApplyFont(TAPIGFont& font, const TFontSetting& setting) {
    font.FaceName = setting.Name;
    font.Size = setting.Size;
    font.Bold = false;
}

std::unique_ptr<TAPICFont> MakeControlFont(const TFontSetting& setting, HWND window) {
    auto font = std::make_unique<TAPICFont>();
    ApplyFont(*font, setting);
    font->Build();
    font->ApplyTo(window);
    return font;
}

struct TButtonDesign {
    TEventProc OnClick;
    TEventProc OnDrag;
    INT_PTR Tag;
    int TextOffset;
};

constexpr TButtonDesign kButtonDesigns[kPanelButtonCount] = {
    {OnReadClick, nullptr, 2, -1},
    {OnWriteClick, nullptr, 3, -1},
    {OnSpuitRelease, OnSpuitDrag, 0, 1},
    {OnSetColorClick, nullptr, 1, -1},
};

// From its first take-over on, a process keeps this library until it ends: the panel's window
// procedure and the subclass procedures on the dialog live here, and a library unloaded under a
// still-open dialog (the hook removed meanwhile) would take the host program down with it.
void PinLibrary() {
    static bool pinned = false;
    if (pinned) return;
    HMODULE self = nullptr;
    pinned = ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                  reinterpret_cast<LPCSTR>(&PinLibrary), &self) != FALSE;
}

void TakeOver(HWND dialog, TSharedBlock& block) {
    PinLibrary();
    SetStartupShowState(SW_RESTORE);
    if (block.Dialog != 0) RestoreLayout(dialog, block);

    auto state = std::make_unique<TDialogState>();
    TDialogState& s = *state;
    s.Dialog = dialog;
    s.CurrentPalette.FullPath = "default.pli";

    HWND basicGrid = ::GetDlgItem(dialog, kBasicGrid);
    ::SetPropA(dialog, kTakeOverProp, basicGrid);

    char title[kTitleBuffer] = {};
    ::GetWindowTextA(dialog, title, kTitleBuffer);
    ::SetWindowTextA(dialog, (std::string(title) + " '").c_str());

    POINT panelAt{};
    HWND panelParent = PanelParent(dialog, basicGrid, panelAt);

    const std::string base = BlockText(block.SettingsBase);
    s.Settings = ReadDialogSettings(LayoutFileName(base), LanguageFileName(base));

    s.ButtonPanel = CreatePanel(panelParent, panelAt.x, panelAt.y, kPanelWidth, kPanelHeight);
    HWND panel = s.ButtonPanel->Handle;
    for (int i = 0; i < kPanelButtonCount; ++i) {
        const TRectPlus& r = s.Settings.Buttons[i];
        const TButtonDesign& design = kButtonDesigns[i];
        TVxOriginBtn* button = CreateVxOriginBtn(panel, r.X, r.Y, r.Width, r.Height, r.Caption, design.OnClick,
                                                 design.OnDrag, nullptr, design.Tag, EDGE_RAISED);
        button->TextOffset = design.TextOffset;
        s.Buttons[i] = button;
    }

    const RECT grown = WindowRectOf(dialog);
    ResizeWindow(dialog, grown.right - grown.left + 1, grown.bottom - grown.top + s.Settings.HookSize);

    s.Button(kSpuitButton)->DragCursor = BlockHandle<HCURSOR>(block.PickCursor);

    s.Controls = {::GetDlgItem(dialog, kRedBox), ::GetDlgItem(dialog, kGreenBox),
                  ::GetDlgItem(dialog, kBlueBox), ::GetDlgItem(dialog, kAddButton), dialog};

    const RECT reference = WindowRectOf(dialog);
    s.DropTarget = new TAPIDragDrop(panel);
    s.DropTarget->OnDrop = OnDropFiles;
    s.CellGeometry.Custom = MeasureGrid(WindowRectOf(::GetDlgItem(dialog, kCustomGrid)), reference, kCustomRows);
    s.CellGeometry.Basic = MeasureGrid(WindowRectOf(basicGrid), reference, kBasicRows);

    s.ApplyTimer = CreateTimer(dialog, 1, OnApplyTimer);
    s.LoadTimer = CreateTimer(dialog, 1, OnLoadTimer);

    s.StatusBar = CreateStatusBar(dialog, false);
    s.StatusBar->SetText(0, s.CurrentPalette.FileName);

    s.ToolTip = NewControl<TToolTip>(panel);
    for (int i = 0; i < kPanelButtonCount; ++i) {
        s.ToolTip->AddTool(s.Buttons[i], s.Settings.TipTexts[i]);
        s.ToolIds.push_back(s.ToolTip->ToolId(i));
        s.StatusTexts.push_back(s.Settings.TipStatus[i]);
    }
    s.ToolTip->OnShow = OnTipShow;
    s.ToolTip->OnPop = OnTipPop;

    if (s.Settings.HookFont.Enabled) {
        for (TVxOriginBtn* button : s.Buttons) ApplyFont(*button->Font, s.Settings.HookFont);
    }
    if (s.Settings.TipFont.Enabled) s.TipFont = MakeControlFont(s.Settings.TipFont, s.ToolTip->Window);
    if (s.Settings.StatusFont.Enabled)
        s.StatusFont = MakeControlFont(s.Settings.StatusFont, s.StatusBar->Window);

    s.StatusTexts.push_back(s.Settings.Messages[0]);
    s.StatusTexts.push_back(s.Settings.Messages[1]);
    if (s.StatusTexts[0] == ".") s.ToolTip->SetActive(false);

    s.AddFollowsCounter = IsWineColorDialog(dialog);
    new TDialogWatch(dialog);

    gDialog = std::move(state);
    // The count never reaches the probe mark: with 253 dialogs counted this one is taken over
    // uncounted rather than making the next user's dialog a probe.
    gDialog->Counted = CountDialogIn(block);
    AllwaysOnTop(dialog, block.OnTop);
}

}  // namespace

void TakeOverColorDialog(HWND dialog) noexcept {
    Guarded([dialog] {
        TSharedBlock* block = HookBlock();
        if (block == nullptr || dialog == nullptr) return;
        if (gDialog) {
            if (::IsWindow(gDialog->Dialog)) return;  // one taken-over dialog per process
            gDialog.reset();
        }
        TakeOver(dialog, *block);
    });
}

bool ReleaseColorDialog(HWND dialog) noexcept {
    bool counted = true;
    Guarded([dialog, &counted] {
        if (!gDialog || gDialog->Dialog != dialog) return;
        counted = gDialog->Counted;
        // The window-bound objects go with their windows right after this (framework).
        gDialog.reset();
    });
    return counted;
}
