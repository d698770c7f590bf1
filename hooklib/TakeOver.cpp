// TakeOver.cpp: the colour-dialog take-over (layout, panel, buttons, status bar, tool tips) and
// its end, run on the thread that owns the dialog. The buttons' work is in DialogPalette.cpp
// (load, save) and Eyedropper.cpp (pick, set colour); their shared state in DialogState.h.
//
// Every colour dialog of the process is taken over on its own: its state hangs on its window
// (DialogState.h), so dialogs of several threads never share anything but the library's locks.
#include "TakeOver.h"

#include "ButtonFont.h"
#include "DialogPalette.h"
#include "DialogState.h"
#include "DialogWatch.h"
#include "Exports.h"
#include "Eyedropper.h"
#include "HookBlock.h"
#include "PanelKeys.h"
#include "SharedNames.h"

#include "DisplayScale.h"
#include "ScopedHandles.h"

#include <algorithm>
#include <atomic>

namespace {

constexpr int kTitleBuffer = 50;  // at most 49 characters of the host's title are kept

constexpr int kPanelX = 110;
constexpr int kPanelY = 0;
constexpr int kPanelWidth = 120;
constexpr int kPanelHeight = 14;

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
// Tool tips
// ---------------------------------------------------------------------------------------------

void OnTipShow(TMessageRecord* record) noexcept {
    Guarded([record] {
        TDialogState* state = SenderState(record);
        if (state == nullptr || state->ToolTip == nullptr) return;
        TDialogState& s = *state;
        TOOLINFOA info{};
        if (!s.ToolTip->GetCurrentTool(info)) return;
        for (std::size_t i = 0; i < s.ToolIds.size(); ++i) {
            if (s.ToolIds[i] == info.uId) {
                ShowStatus(s, s.StatusTexts[i]);
                return;
            }
        }
    });
}

void OnTipPop(TMessageRecord* record) noexcept {
    Guarded([record] {
        if (TDialogState* state = SenderState(record)) ShowPaletteName(*state);
    });
}

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

// The window's rectangle in the client coordinates of `dialog`.
RECT RectInDialog(HWND window, HWND dialog) {
    RECT r = DialogWindowRect(window);
    ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

struct TCaptionSearch {
    HWND Dialog;
    RECT Grid;
    SIZE MinSize;
    HWND Found;
    LONG Distance;
};

// The static just above the custom grid, overlapping it horizontally: the grid's caption.
BOOL CALLBACK FindCaption(HWND child, LPARAM param) noexcept {
    auto* search = reinterpret_cast<TCaptionSearch*>(param);
    if (::GetParent(child) != search->Dialog || !IsStatic(child)) return TRUE;
    const RECT r = DialogWindowRect(child);
    const LONG distance = search->Grid.top - r.bottom;
    const bool overlaps = r.left < search->Grid.right && r.right > search->Grid.left;
    if (overlaps && distance >= -2 && distance < search->Distance && r.bottom - r.top >= search->MinSize.cy &&
        r.right - r.left >= search->MinSize.cx) {
        search->Found = child;
        search->Distance = distance;
    }
    return TRUE;
}

// The caption of the custom grid: the window that follows the basic grid, which in the standard
// template is that caption. In Wine's dialog that window is the custom grid itself, where the
// panel would cover cells; the caption is then looked up above the grid. Null without one.
HWND CaptionOfCustomGrid(HWND dialog, HWND basicGrid, HWND customGrid, int dpi) {
    HWND next = ::GetWindow(basicGrid, GW_HWNDNEXT);
    if (next != nullptr && (customGrid == nullptr || next != customGrid)) return next;
    if (customGrid == nullptr) return nullptr;
    const SIZE minSize{pelmira::ScaleToDpi(kPanelX + kPanelWidth, dpi), pelmira::ScaleToDpi(kPanelHeight, dpi)};
    TCaptionSearch search{dialog, DialogWindowRect(customGrid), minSize, nullptr,
                          3 * pelmira::ScaleToDpi(kPanelHeight, dpi)};
    ::EnumChildWindows(dialog, FindCaption, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

// The rectangle that a static's text covers, in its own client coordinates. Statics draw their
// text from the top left unless centred or right-aligned; an empty rectangle for other windows.
RECT CaptionTextRect(HWND caption) {
    RECT text{};
    if (!IsStatic(caption)) return text;
    char buffer[256] = {};
    const int length = ::GetWindowTextA(caption, buffer, sizeof buffer);
    if (length <= 0) return text;
    const TScopedDC dc(caption);
    if (!dc) return text;
    auto font = reinterpret_cast<HFONT>(::SendMessageA(caption, WM_GETFONT, 0, 0));
    const TScopedSelect select(dc, font != nullptr ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT));
    ::DrawTextA(dc, buffer, length, &text, DT_CALCRECT | DT_SINGLELINE);
    RECT client{};
    ::GetClientRect(caption, &client);
    const LONG width = text.right - text.left;
    const LONG style = ::GetWindowLongA(caption, GWL_STYLE) & SS_TYPEMASK;
    if (style == SS_CENTER) ::OffsetRect(&text, (client.right - width) / 2, 0);
    if (style == SS_RIGHT) ::OffsetRect(&text, client.right - width, 0);
    return text;
}

// Where the button panel goes: on the custom grid's caption, at the fixed place scaled to the
// dialog's DPI, but never over the caption's text or the custom cells. When that place does not
// lie inside the caption (which would clip it), or there is no caption, the panel is a child of
// the dialog itself on the caption row just above the grid. `at` receives the panel's position
// and `size` its size, in the parent's client coordinates.
HWND PanelParent(HWND dialog, HWND basicGrid, int dpi, POINT& at, SIZE& size) {
    HWND customGrid = ::GetDlgItem(dialog, kCustomGridId);
    const RECT cells = customGrid != nullptr ? RectInDialog(customGrid, dialog) : RECT{};
    const POINT at96{kPanelX, kPanelY};
    const SIZE size96{kPanelWidth, kPanelHeight};
    HWND caption = CaptionOfCustomGrid(dialog, basicGrid, customGrid, dpi);
    if (caption == nullptr) {
        // A caption-sized strip right above the grid stands in for the caption.
        const int height = pelmira::ScaleToDpi(kPanelHeight, dpi);
        const RECT strip{cells.left, std::max<LONG>(cells.top - height, 0), cells.right, cells.top};
        const pelmira::TBox box = pelmira::PlacePanel(strip, RECT{}, cells, at96, size96, dpi);
        at = POINT{box.X, std::max(box.Y, 0)};
        size = SIZE{box.Width, box.Height};
        return dialog;
    }
    // The caption is the basic grid's sibling or found among the dialog's own children.
    const RECT captionRect = RectInDialog(caption, dialog);
    RECT text = CaptionTextRect(caption);
    ::OffsetRect(&text, captionRect.left, captionRect.top);
    const pelmira::TBox box = pelmira::PlacePanel(captionRect, text, cells, at96, size96, dpi);
    size = SIZE{box.Width, box.Height};
    const bool inside = box.X >= captionRect.left && box.Y >= captionRect.top &&
                        box.X + box.Width <= captionRect.right && box.Y + box.Height <= captionRect.bottom;
    if (!inside) {
        at = POINT{box.X, std::max(box.Y, 0)};
        return dialog;
    }
    at = POINT{box.X - captionRect.left, box.Y - captionRect.top};
    return caption;
}

struct TOverlapSearch {
    HWND Panel;
    RECT Area;  // the panel's window rectangle
};

BOOL CALLBACK ClipUnderPanel(HWND child, LPARAM param) noexcept {
    const auto* search = reinterpret_cast<const TOverlapSearch*>(param);
    if (child == search->Panel || ::GetParent(child) != ::GetParent(search->Panel)) return TRUE;
    RECT r = DialogWindowRect(child), both{};
    if (::IntersectRect(&both, &r, &search->Area))
        ::SetWindowLongA(child, GWL_STYLE, ::GetWindowLongA(child, GWL_STYLE) | WS_CLIPSIBLINGS);
    return TRUE;
}

// A panel on the dialog itself overlaps the caption it sits on. Siblings paint over each other
// unless they clip siblings: the windows under the panel clip it out, and it is first in the order.
void KeepPanelOnTop(HWND panel) {
    TOverlapSearch search{panel, DialogWindowRect(panel)};
    ::EnumChildWindows(::GetParent(panel), ClipUnderPanel, reinterpret_cast<LPARAM>(&search));
    ::SetWindowPos(panel, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// The language file's font at the dialog's scale: fonts are made for the system's DPI, and a
// per-monitor aware host may show its dialog at another.
TFontSetting FontAtScale(TFontSetting setting, int dpi) {
    setting.Size = pelmira::PointsForWindow(setting.Size, dpi, pelmira::SystemDpi());
    return setting;
}

void ApplyFont(TAPIGFont& font, const TFontSetting& setting, int dpi) {
    font.FaceName = setting.Name;
    font.Size = FontAtScale(setting, dpi).Size;
    font.Bold = false;
}

std::unique_ptr<TAPICFont> MakeControlFont(const TFontSetting& setting, HWND window, int dpi) {
    auto font = std::make_unique<TAPICFont>();
    ApplyFont(*font, setting, dpi);
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
// Answers whether the library is pinned; without the pin no dialog may be taken over.
bool PinLibrary() noexcept {
    static std::atomic<bool> pinned{false};
    if (pinned.load(std::memory_order_acquire)) return true;
    HMODULE self = nullptr;
    const bool done = ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                           reinterpret_cast<LPCSTR>(&PinLibrary), &self) != FALSE;
    if (done) pinned.store(true, std::memory_order_release);
    return done;
}

void TakeOver(HWND dialog, TSharedBlock& block) {
    SetStartupShowState(SW_RESTORE);
    if (block.Dialog != 0) RestoreLayout(dialog, block);

    auto state = std::make_unique<TDialogState>();
    TDialogState& s = *state;
    s.Dialog = dialog;
    s.CurrentPalette.FullPath = "default.pli";

    HWND basicGrid = ::GetDlgItem(dialog, kBasicGridId);
    ::SetPropA(dialog, kTakeOverProp, basicGrid);

    char title[kTitleBuffer] = {};
    ::GetWindowTextA(dialog, title, kTitleBuffer);
    ::SetWindowTextA(dialog, (std::string(title) + " '").c_str());

    // Every pixel size below is written for 96 DPI; the dialog is drawn at its window's DPI.
    const int dpi = pelmira::WindowDpi(dialog);
    POINT panelAt{};
    SIZE panelSize{};
    HWND panelParent = PanelParent(dialog, basicGrid, dpi, panelAt, panelSize);

    const std::string base = BlockText(block.SettingsBase);
    s.Settings = ReadDialogSettings(LayoutFileName(base), LanguageFileName(base));

    s.ButtonPanel = CreatePanel(panelParent, panelAt.x, panelAt.y, panelSize.cx, panelSize.cy);
    HWND panel = s.ButtonPanel->Handle;
    if (panelParent == dialog) KeepPanelOnTop(panel);
    for (int i = 0; i < kPanelButtonCount; ++i) {
        const TRectPlus& r96 = s.Settings.Buttons[i];
        const pelmira::TBox r = pelmira::ScaleBox(pelmira::TBox{r96.X, r96.Y, r96.Width, r96.Height}, dpi);
        const TButtonDesign& design = kButtonDesigns[i];
        TVxOriginBtn* button = CreateVxOriginBtn(panel, r.X, r.Y, r.Width, r.Height, r96.Caption, design.OnClick,
                                                 design.OnDrag, nullptr, design.Tag, EDGE_RAISED);
        button->TextOffset = design.TextOffset;
        s.Buttons[i] = button;
    }

    const RECT grown = DialogWindowRect(dialog);
    ResizeWindow(dialog, grown.right - grown.left + 1, grown.bottom - grown.top + pelmira::ScaleToDpi(s.Settings.HookSize, dpi));

    s.Button(kSpuitButton)->DragCursor = BlockHandle<HCURSOR>(block.PickCursor);

    s.Controls = {::GetDlgItem(dialog, kRedBoxId), ::GetDlgItem(dialog, kGreenBoxId),
                  ::GetDlgItem(dialog, kBlueBoxId), ::GetDlgItem(dialog, kAddButtonId), dialog};

    const RECT reference = DialogWindowRect(dialog);
    s.DropTarget = new TAPIDragDrop(panel);
    s.DropTarget->OnDrop = OnDropFiles;
    s.CellGeometry.Custom = MeasureGrid(DialogWindowRect(::GetDlgItem(dialog, kCustomGridId)), reference, kCustomRows);
    s.CellGeometry.Basic = MeasureGrid(DialogWindowRect(basicGrid), reference, kBasicRows);

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

    if (s.Settings.HookFont.Enabled) ShareButtonFont(s.Buttons, FontAtScale(s.Settings.HookFont, dpi));
    if (s.Settings.TipFont.Enabled) s.TipFont = MakeControlFont(s.Settings.TipFont, s.ToolTip->Window, dpi);
    if (s.Settings.StatusFont.Enabled)
        s.StatusFont = MakeControlFont(s.Settings.StatusFont, s.StatusBar->Window, dpi);

    s.StatusTexts.push_back(s.Settings.Messages[0]);
    s.StatusTexts.push_back(s.Settings.Messages[1]);
    if (s.StatusTexts[0] == ".") s.ToolTip->SetActive(false);

    s.AddFollowsCounter = IsWineColorDialog(dialog);

    // From here the watch owns the state and ends the take-over at WM_DESTROY. The count never
    // reaches the probe mark: with 253 dialogs counted this one is taken over uncounted rather
    // than making the next user's dialog a probe.
    new TDialogWatch(dialog, std::move(state));
    InstallPanelKeys(s);
    s.Counted = CountDialogIn(block);
    // Placing a dialog that is not topmost, and is not to be, among the windows that are not
    // changes nothing: it comes to the front when it shows. The call would only activate the
    // still hidden dialog early, and under Wine it was the costliest step of the take-over.
    const bool topmost = (::GetWindowLongA(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    if (block.OnTop != 0 || topmost) AllwaysOnTop(dialog, block.OnTop);
}

}  // namespace

void TakeOverColorDialog(HWND dialog) noexcept {
    TSharedBlock* block = HookBlock();
    if (block == nullptr || dialog == nullptr || DialogStateOf(dialog) != nullptr) return;
    // Without the pin the dialog stays an ordinary one: nothing of it has been touched yet.
    if (!PinLibrary()) return;
    bool finished = false;
    Guarded([&] {
        TakeOver(dialog, *block);
        finished = true;
    });
    // A take-over that failed half-way has counted nothing; its property must not claim it either.
    // (The controls it made go with the dialog's windows and find no state.)
    if (!finished) ::RemovePropA(dialog, kTakeOverProp);
}

void EndTakeOver(HWND dialog) noexcept {
    if (::GetPropA(dialog, kTakeOverProp) == nullptr) return;
    const TDialogState* state = DialogStateOf(dialog);
    // Counted out before the property goes: ChkDialog takes a count above the live properties
    // for dialogs of ended hosts.
    if (state == nullptr || state->Counted)
        if (TSharedBlock* block = HookBlock()) CountDialogOut(*block);
    ::RemovePropA(dialog, kTakeOverProp);
}
