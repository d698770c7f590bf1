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
    const RECT r = DialogWindowRect(child);
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
    HWND customGrid = ::GetDlgItem(dialog, kCustomGridId);
    if (next != nullptr && (customGrid == nullptr || next != customGrid)) return next;
    if (customGrid == nullptr) return dialog;

    TCaptionSearch search{dialog, DialogWindowRect(customGrid), nullptr, 3 * kPanelHeight};
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

    const RECT grown = DialogWindowRect(dialog);
    ResizeWindow(dialog, grown.right - grown.left + 1, grown.bottom - grown.top + s.Settings.HookSize);

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

    if (s.Settings.HookFont.Enabled) ShareButtonFont(s.Buttons, s.Settings.HookFont);
    if (s.Settings.TipFont.Enabled) s.TipFont = MakeControlFont(s.Settings.TipFont, s.ToolTip->Window);
    if (s.Settings.StatusFont.Enabled)
        s.StatusFont = MakeControlFont(s.Settings.StatusFont, s.StatusBar->Window);

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
    AllwaysOnTop(dialog, block.OnTop);
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
    ::RemovePropA(dialog, kTakeOverProp);
    if (state != nullptr && !state->Counted) return;
    if (TSharedBlock* block = HookBlock()) CountDialogOut(*block);
}
