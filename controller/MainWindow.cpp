// MainWindow.cpp: the main window's creation, its message handlers, and the state it reports.
//
// MainWindowCreate builds everything in a fixed order: menus first (the folder-browse title is
// read under the section the menu texts leave current), then the icons and tray data the Suspend
// command needs, the controls, the single Suspend command, texts, keys, folders, fonts, size and
// position. The commands themselves are in Commands.cpp.
#include "MainWindow.h"

#include "APIWindow.h"
#include "About.h"
#include "CommandIds.h"
#include "Commands.h"
#include "ControllerState.h"
#include "Feedback.h"
#include "PaletteExchange.h"
#include "PaletteList.h"
#include "PaletteOps.h"
#include "Placement.h"
#include "Program.h"
#include "ScopedHandles.h"
#include "UtilFunc.h"

#include "DisplayScale.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

// The options as read at creation.
TOptions StartOptions;

constexpr DWORD kFolderEditStyle = 0x540011C0;  // child, visible, clip siblings, auto-scroll
constexpr int kFolderDisplayLength = 22;        // folder combo entries: shortened paths

// ---------------------------------------------------------------------------------------------
// Display scale
// ---------------------------------------------------------------------------------------------

// Every layout number (built-in or from the layout file) is a 96-DPI value. The window lays its
// controls out at its own DPI and keeps each control's 96-DPI box, so that a move to a monitor
// of another scale (WM_DPICHANGED) lays them out again from the same numbers.
int WindowScale = pelmira::kBaseDpi;
TMainSize MainSize96;
std::vector<std::pair<HWND, pelmira::TBox>> Layout96;
std::vector<std::pair<TGDIObject*, pelmira::TBox>> Drawn96;  // the colour buttons, drawn on the window

pelmira::TBox Scaled(const pelmira::TBox& box96) { return pelmira::ScaleBox(box96, WindowScale); }

void Remember(HWND control, const pelmira::TBox& box96) {
    if (control != nullptr) Layout96.emplace_back(control, box96);
}

pelmira::TBox BoxOf(const TRectPlus& r) { return pelmira::TBox{r.X, r.Y, r.Width, r.Height}; }

TMainSize ScaledMainSize() {
    return TMainSize{pelmira::ScaleToDpi(MainSize96.Width, WindowScale),
                     pelmira::ScaleToDpi(MainSize96.NormalHeight, WindowScale),
                     pelmira::ScaleToDpi(MainSize96.ExtendedHeight, WindowScale)};
}

void FillTrayIconData() {
    State.TrayIconData = NOTIFYICONDATAA{};
    // The classic 88-byte record: its fields are all the tray icon needs, and every shell
    // version accepts it.
    State.TrayIconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
    State.TrayIconData.hWnd = Window();
    State.TrayIconData.uID = kTrayIconId;
    State.TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    State.TrayIconData.uCallbackMessage = kTrayCallbackMessage;
    State.TrayIconData.hIcon = reinterpret_cast<HICON>(State.IconList->Get(0));
    const std::string tip = TrayTipText(State.AppTitle);
    std::memcpy(State.TrayIconData.szTip, tip.c_str(), tip.size() + 1);
}

void ShowHookStateBox(HWND owner) {
    const bool down = State.MainForm.Suspend != nullptr && State.MainForm.Suspend->GetChecked();
    TModalScope modal;
    ::MessageBoxA(owner, down ? "on" : "off", "", MB_ICONINFORMATION);
}

// ---------------------------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------------------------

void RouteMenuCommand(TMessageRecord* message) noexcept { MenuCommand(LOWORD(message->WParam)); }

void RouteListCommand(TMessageRecord* message) noexcept {
    const UINT id = LOWORD(message->WParam);
    if (id == kCmdExport) {
        ExportCurrentPalette();
        return;
    }
    ListCommand(id, id == kCmdDuplicate);
}

void RouteAccelerator(TMessageRecord* message) noexcept {
    if (State.MainForm.Accelerators != nullptr) State.MainForm.Accelerators->SendCommand(*message);
}

void BuildMenus() {
    const HWND w = Window();
    const std::string tray = ReadLanguageText(Texts::TrayTray);
    const std::string dialog = ReadLanguageText(Texts::TrayDialog);
    const std::string webSafe = ReadLanguageText(Texts::TrayWebSafe);
    const std::string about = ReadLanguageText(Texts::TrayAbout);
    const std::string onTop = ReadLanguageText(Texts::TrayOnTop);
    const std::string suspend = ReadLanguageText(Texts::TraySuspend);
    const std::string leftClick = ReadLanguageText(Texts::TrayLeftClick);
    const std::string exit = ReadLanguageText(Texts::TrayExit);

    // The system menu's own items arrive as WM_SYSCOMMAND; SystemCommand routes them.
    TWindowMenu* system = CreateWindowMenu(w, nullptr);
    State.MainForm.SystemMenu = system;
    MenuInsertSeparator(system->Menu, -1, kSeparator1);
    system->AppendItem(tray, kCmdTrayIcon);
    system->AppendItem(dialog, kCmdDialog);
    system->AppendItem(webSafe, kCmdWebSafe);
    MenuInsertSeparator(system->Menu, -1, kSeparator2);
    system->AppendItem("&Help", kCmdHelp);
    system->AppendItem(about, kCmdAbout);

    State.MainForm.CommandRouter = CreateMainMenu(w, RouteMenuCommand);

    TAPopupMenu* trayMenu = CreatePopupMenuObject(w, kCmdTrayMenu, nullptr);
    State.MainForm.TrayMenu = trayMenu;
    trayMenu->AttachTo(State.MainForm.CommandRouter, -1, "&Menu");
    trayMenu->AppendItem(onTop, kCmdOnTop);
    trayMenu->AppendItem("Show", kCmdShowHide);
    trayMenu->AppendItem(suspend, kCmdSuspend);
    trayMenu->AppendItem(dialog, kCmdDialog);
    trayMenu->AppendItem(webSafe, kCmdWebSafe);
    trayMenu->AppendSeparator(kSeparator1);

    TAPopupMenu* leftMenu = CreatePopupMenuObject(w, kCmdLeftClickMenu, nullptr);
    State.MainForm.LeftClickMenu = leftMenu;
    leftMenu->AttachTo(trayMenu, -1, leftClick);
    leftMenu->AppendRadioItem(onTop, kCmdLeftClickFirst);
    leftMenu->AppendRadioItem("Show", kCmdLeftClickFirst + 1);
    leftMenu->AppendRadioItem(suspend, kCmdLeftClickFirst + 2);
    leftMenu->AppendRadioItem(dialog, kCmdLeftClickFirst + 3);
    leftMenu->AppendRadioItem(webSafe, kCmdLeftClickFirst + 4);
    leftMenu->AppendRadioItem(exit, kCmdLeftClickLast);

    trayMenu->AppendSeparator(kSeparator2);
    trayMenu->AppendItem("&Help", kCmdHelp);
    trayMenu->AppendItem(about, kCmdAbout);
    trayMenu->AppendSeparator(kSeparator3);
    trayMenu->AppendItem(exit, kCmdExit);

    State.MainForm.ListRouter = CreateMainMenu(w, RouteListCommand);
    TAPopupMenu* listMenu = CreatePopupMenuObject(w, kCmdListMenu, nullptr);
    State.MainForm.ListMenu = listMenu;
    listMenu->AttachTo(State.MainForm.ListRouter, -1, "&OptionLV");
    listMenu->AppendItem(ReadLanguageText(Texts::ListNew), kCmdListNew);
    listMenu->AppendItem(ReadLanguageText(Texts::ListReName), kCmdListReName);
    listMenu->AppendItem(ReadLanguageText(Texts::ListDelete), kCmdListDelete);
    listMenu->AppendItem(ReadLanguageText(Texts::ListDuplicate), kCmdDuplicate);
    listMenu->AppendItem(ReadLanguageText(kExportMenuText), kCmdExport);

    TAPopupMenu* colorMenu = CreatePopupMenuObject(w, kCmdListMenu, nullptr);
    State.MainForm.ColorMenu = colorMenu;
    colorMenu->AttachTo(State.MainForm.ListRouter, -1, "&OptionST");
    colorMenu->AppendItem(ReadLanguageText(Texts::ColorEdit), kCmdColorEdit);
    colorMenu->AppendItem(ReadLanguageText(Texts::ColorInit), kCmdColorInit);
    colorMenu->AppendItem(ReadLanguageText(Texts::ColorDuplicate), kCmdDuplicate);
    colorMenu->AppendItem(ReadLanguageText(kExportMenuText), kCmdExport);
    colorMenu->AppendItem(ReadLanguageText(kCopyHexMenuText), kCmdCopyHex);
    colorMenu->AppendItem(ReadLanguageText(kCopyTripleMenuText), kCmdCopyTriple);
    colorMenu->AppendItem(ReadLanguageText(kPasteColorMenuText), kCmdPasteColor);
}

// ---------------------------------------------------------------------------------------------
// Controls
// ---------------------------------------------------------------------------------------------

void SuspendClicked(TMessageRecord*) noexcept { TrayCommand(kCmdSuspend); }
void OnTopClicked(TMessageRecord*) noexcept { TrayCommand(kCmdOnTop); }
void ExitClicked(TMessageRecord*) noexcept { TrayCommand(kCmdExit); }
void TestClicked(TMessageRecord*) noexcept { BtnTestProc(Window()); }
void NewClicked(TMessageRecord*) noexcept { BrowseFolder(); }
void DeleteClicked(TMessageRecord*) noexcept { RemoveFolder(); }
void ReLoadClicked(TMessageRecord*) noexcept { PublishPaletteFolder(); }
void ReWriteClicked(TMessageRecord*) noexcept { RewritePalette(); }
void ExtensionClicked(TMessageRecord*) noexcept { ApplyExtendedView(); }
void FolderCheckClicked(TMessageRecord*) noexcept { FolderCheckChanged(); }
void FolderComboChanged(TMessageRecord*) noexcept { FolderSelected(); }

void FolderEditFocused(TMessageRecord*) noexcept { HoldKeys(TKeyHolder::FolderEdit, true); }
void FolderEditLeft(TMessageRecord*) noexcept { HoldKeys(TKeyHolder::FolderEdit, false); }

void FolderDropped(TMessageRecord*) noexcept {
    if (State.MainForm.FolderDrop == nullptr) return;
    std::vector<std::string> paths;
    for (int i = 0; i < State.MainForm.FolderDrop->FileCount; ++i) paths.push_back(State.MainForm.FolderDrop->GetFile(i));
    DropOnFolderList(paths);
}

void CreateButtons() {
    static constexpr TEventProc kClicks[9] = {SuspendClicked, OnTopClicked,  ExitClicked,
                                              TestClicked,    NewClicked,    DeleteClicked,
                                              ReLoadClicked,  ReWriteClicked, ExtensionClicked};
    State.CurrentSection = kButtonSection;
    TSelfSubClass** const made = State.MainForm.Buttons;
    for (int i = 0; i < 9; ++i) {
        TCreateBtntype b = ButtonTable[i];
        b.OnClick = kClicks[i];
        const TRectPlus r96 = ReadLayout(b.Key, TRectPlus{b.X, b.Y, b.Width, b.Height, b.DefaultCaption});
        const pelmira::TBox r = Scaled(BoxOf(r96));
        if (b.Kind == 1) {
            b.Control = CreatePushRadio(Window(), r.X, r.Y, r.Width, r.Height, r96.Caption, 0, b.OnClick);
        } else {
            b.Control = CreateButton(Window(), r.X, r.Y, r.Width, r.Height, r96.Caption, b.OnClick);
        }
        Remember(b.Control->Window, BoxOf(r96));
        made[i] = b.Control;
    }
    State.MainForm.Suspend = static_cast<TAPIPushRadio*>(made[0]);
    State.MainForm.OnTop = static_cast<TAPIPushRadio*>(made[1]);
    State.MainForm.Exit = static_cast<TAPIButton*>(made[2]);
    State.MainForm.Test = static_cast<TAPIButton*>(made[3]);
    State.MainForm.New = static_cast<TAPIButton*>(made[4]);
    State.MainForm.Delete = static_cast<TAPIButton*>(made[5]);
    State.MainForm.ReLoad = static_cast<TAPIButton*>(made[6]);
    State.MainForm.ReWrite = static_cast<TAPIButton*>(made[7]);
    State.MainForm.Extension = static_cast<TAPIPushRadio*>(made[8]);
}

void CreateFileList(const TOptions& options) {
    const TRectPlus r96 = ReadLayout("FileList", kFileListLayout);
    const pelmira::TBox r = Scaled(BoxOf(r96));
    TAPIListView* list = CreateListView(Window(), r.X, r.Y, r.Width, r.Height, nullptr);
    State.MainForm.FileList = list;
    Remember(list->Window, BoxOf(r96));
    // The saved column widths are 96-DPI values too.
    list->AddColumn(0, pelmira::ScaleToDpi(options.ListName, WindowScale), ReadLanguageText(Texts::ColumnName), false, 0);
    list->AddColumn(1, pelmira::ScaleToDpi(options.ListDate, WindowScale), ReadLanguageText(Texts::ColumnDate), false, 0);
    AttachPaletteListHandlers(list);
}

void CreateFolderRow() {
    const TRectPlus check96 = ReadLayout("FolderCheck", kFolderCheckLayout);
    const pelmira::TBox check = Scaled(BoxOf(check96));
    State.MainForm.FolderCheck = CreateCheckBox(Window(), check.X, check.Y, check.Width, check.Height, "", FolderCheckClicked);
    Remember(State.MainForm.FolderCheck->Window, BoxOf(check96));

    const TRectPlus combo96 = ReadLayout("FolderList", kFolderListLayout);
    const pelmira::TBox combo = Scaled(BoxOf(combo96));
    State.MainForm.FolderCombo =
        CreateDropDownCombo(Window(), combo.X, combo.Y, combo.Width, combo.Height, FolderComboChanged);
    Remember(State.MainForm.FolderCombo->Window, BoxOf(combo96));

    // FolderEdit covers the combo's own edit exactly, so the full path shows where the combo
    // would show its shortened entry.
    const HWND comboEdit = ::FindWindowExA(State.MainForm.FolderCombo->Window, nullptr, "Edit", nullptr);
    State.MainForm.FolderComboEdit = comboEdit;
    RECT client{};
    if (comboEdit != nullptr) ::GetClientRect(comboEdit, &client);
    TAPIMemoNext* edit = CreateMemoNext(comboEdit != nullptr ? comboEdit : State.MainForm.FolderCombo->Window, 0, 0,
                                        client.right, client.bottom, kFolderEditStyle, 0, 0);
    State.MainForm.FolderEdit = edit;
    edit->OnSetFocus = FolderEditFocused;
    edit->OnKillFocus = FolderEditLeft;
    ::ShowWindow(edit->Window, SW_SHOW);
    edit->SetText(State.CurrentFolder);
}

void CreateColorButtons() {
    const TRectPlus r = ReadLayout("Paletto", kPalettoLayout);
    const int gap = ReadPalettoGap(TIniFile(State.LayoutFile));
    const auto cursor = reinterpret_cast<HCURSOR>(State.IconList->Get(2));
    for (int i = 0; i < 16; ++i) {
        const int column = i % 8;
        const int x = r.X + column * (r.Width + gap);
        const int y = i < 8 ? r.Y : r.Y + r.Height + gap;
        const pelmira::TBox at = Scaled(pelmira::TBox{x, y, r.Width, r.Height});
        TVxrinkBtn* button = CreateVxrinkBtn(Window(), at.X, at.Y, at.Width, at.Height, "", nullptr, nullptr, nullptr, i,
                                             EDGE_RAISED);
        Drawn96.emplace_back(button, pelmira::TBox{x, y, r.Width, r.Height});
        button->SetColor(0xFFFFFF);
        button->DragCursor = cursor;
        State.MainForm.Paletto[i] = button;
        AttachColorButtonHandlers(button, i);
    }
}

// ---------------------------------------------------------------------------------------------
// Tool tips
// ---------------------------------------------------------------------------------------------

constexpr int kTipReWrite = 5;
constexpr int kTipExtension = 7;
constexpr int kTipFolderCheck = 8;

void TipShown(TMessageRecord* message) noexcept {
    const auto* header = reinterpret_cast<const NMHDR*>(message->LParam);
    if (header == nullptr || !State.TipIdList) return;
    const int tip = State.TipIdList->IndexOf(static_cast<INT_PTR>(header->idFrom));
    if (tip < 0) return;
    std::string text = TextAt(tip);
    if (tip == kTipReWrite) text = "[" + State.CurrentPaletteFile + "]" + text;
    const bool extended = State.MainForm.Extension != nullptr && State.MainForm.Extension->GetChecked();
    if (extended && tip == kTipExtension) text = StatusText(6);
    if (extended && tip == kTipFolderCheck) text = StatusText(7);
    SetStatusText(text);
}

void TipPopped(TMessageRecord*) noexcept { SetStatusText(State.CurrentPaletteFile); }

void CreateToolTip() {
    TToolTip* tip = NewControl<TToolTip>(Window());
    State.MainForm.ToolTip = tip;
    tip->OnShow = TipShown;
    tip->OnPop = TipPopped;
    TObject* const tools[kTipCount] = {State.MainForm.Exit,      State.MainForm.New,         State.MainForm.Delete,
                                       State.MainForm.Test,      State.MainForm.ReLoad,      State.MainForm.ReWrite,
                                       State.MainForm.Suspend,   State.MainForm.Extension,   State.MainForm.FolderCheck,
                                       State.MainForm.FolderCombo, State.MainForm.OnTop};
    const TIniFile language(State.LanguageFile);
    for (int i = 0; i < kTipCount; ++i) {
        tip->AddTool(tools[i], language.ReadString(kTipHelpSection, IntToText(i), kNoTipText));
        State.TipIdList->Add(static_cast<INT_PTR>(tip->ToolId(i)));
    }
}

// ---------------------------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------------------------

void BuildAccelerators() {
    TAccelTable* table = CreateAccelTable(Window(), RouteAccelerator);
    State.MainForm.Accelerators = table;
    const TIniFile language(State.LanguageFile);
    for (const TMenuKeytype& entry : kMainKeys) table->AddKey(FCONTROL, ReadAcceleratorKey(language, entry), entry.Command);
    table->AddKey(0, VK_RETURN, kCmdEditLabel);
    table->AddKey(0, VK_F2, kCmdListReName);
    table->AddKey(0, VK_F5, kCmdReLoad);
    table->AddKey(0, VK_TAB, kCmdFolderEdit);
    table->AddKey(0, VK_DELETE, kCmdListDelete);
    State.CurrentAccel = table->Build();
}

void FolderEditKeys(TMessageRecord* message) noexcept {
    switch (message->WParam) {
    case VK_TAB:
    case VK_ESCAPE:
        if (State.MainForm.FileList == nullptr) return;
        ::SetFocus(State.MainForm.FileList->Window);
        // SelectItem loads the row it selects.
        if (State.MainForm.FileList->SelectedCount() == 0) State.MainForm.FileList->SelectItem(0);
        break;
    case VK_RETURN: {
        const std::string text = State.MainForm.FolderEdit->GetText();
        if (!text.empty() && !AddFolder(text)) {
            // Not a folder: say so, and show again the folder the list is about.
            SetStatusText("[" + text + "] " + StatusText(1));
            State.MainForm.FolderEdit->SetText(GetPaletteFolder());
        }
        break;
    }
    case VK_UP:
    case VK_DOWN:
        ::SendMessageA(State.MainForm.FolderCombo->Window, WM_KEYDOWN, message->WParam, message->LParam);
        break;
    default:
        break;
    }
}

void InstallKeyTraps() {
    auto* editTrap = new TMessageTrapper(State.MainForm.FolderEdit->Window);
    editTrap->Trap(WM_KEYDOWN, FolderEditKeys);
    auto* listTrap = new TMessageTrapper(State.MainForm.FileList->Window);
    listTrap->Trap(WM_KEYUP, PaletteListKeyUp);
}

// ---------------------------------------------------------------------------------------------
// Folders and the command line
// ---------------------------------------------------------------------------------------------

void FillFolderList(const TOptions& options) {
    for (const std::string& folder : options.Folders) {
        State.FolderList->Add(folder);
        State.MainForm.FolderCombo->AddString(ShortenPath(folder, kFolderDisplayLength));
    }
    if (!options.Folders.empty()) State.MainForm.FolderCombo->SetCurSel(options.FolderSelect);
}

void OpenStartFolder() {
    char current[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryA(MAX_PATH, current);
    const std::string d = current;
    State.PendingName = d;

    const std::string argument = FirstCommandLineArgument(::GetCommandLineA());
    std::string p = d;
    if (!argument.empty()) {
        p = argument.find('\\') != std::string::npos ? argument : d + "\\" + argument;
        p = LongPathOf(p);
        State.PendingName = !p.empty() ? FileNameOf(p) : LongPathOf(d);
    }
    if (p.find('.') != std::string::npos) p = DirectoryOf(p);

    bool startsInProgramFolder = false;
    if (::lstrcmpiA(p.c_str(), State.ProgramFolder.c_str()) != 0) {
        AddFolder(p);
        State.MainForm.FolderCheck->SetChecked(true);
    } else {
        startsInProgramFolder = true;
    }
    if (!argument.empty()) {
        State.CurrentRow = -2;
        if (startsInProgramFolder) State.MainForm.FolderCheck->SetChecked(false);
    }
}

// The point sizes the language file gives the three fonts; fonts are made for the system's DPI,
// and a window shown at another scale (per-monitor awareness) gets them resized to its own.
int FontPoints[3] = {};

void FitFontsToScale() {
    TAPICFont* const fonts[3] = {State.MainFont.get(), State.StatusFont.get(), State.TipFont.get()};
    const int system = pelmira::SystemDpi();
    for (int i = 0; i < 3; ++i) {
        if (fonts[i] == nullptr) continue;
        const int points = pelmira::PointsForWindow(FontPoints[i], WindowScale, system);
        if (points == fonts[i]->Size) continue;
        fonts[i]->Size = points;
        fonts[i]->Build();
    }
    if (State.MainFont) {
        for (const TSelfSubClass* button : State.MainForm.Buttons)
            if (button != nullptr) State.MainFont->ApplyTo(button->Window);
        State.MainFont->ApplyTo(State.MainForm.FileList->Window);
        State.MainFont->ApplyTo(State.MainForm.FolderCombo->Window);
    }
    if (State.StatusFont) State.StatusFont->ApplyTo(State.MainForm.StatusBar->Window);
    if (State.TipFont) State.TipFont->ApplyTo(State.MainForm.ToolTip->Window);
}

// The controls of a role whose font the language file does not name keep the font they were
// made with: their own (the list's, the status bar's) or, for a control without one, the system
// font. Those are made at the system's DPI and keep their size on a monitor of another scale;
// there each control gets a copy of its own font scaled to the window, and its own font back at
// the system's DPI.
struct TDefaultFont {
    HWND Control;
    HFONT Own;  // null: the system font
};
std::vector<TDefaultFont> DefaultFonts;
std::vector<TScopedFont> ScaledDefaultFonts;  // the copies the controls use now

void RememberDefaultFonts() {
    DefaultFonts.clear();
    ScaledDefaultFonts.clear();
    const auto add = [](HWND control, const TAPICFont* roleFont) {
        if (control == nullptr || roleFont != nullptr) return;
        DefaultFonts.push_back({control, reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0))});
    };
    for (const TSelfSubClass* button : State.MainForm.Buttons)
        if (button != nullptr) add(button->Window, State.MainFont.get());
    if (State.MainForm.FileList != nullptr) add(State.MainForm.FileList->Window, State.MainFont.get());
    if (State.MainForm.FolderCombo != nullptr) add(State.MainForm.FolderCombo->Window, State.MainFont.get());
    if (State.MainForm.StatusBar != nullptr) add(State.MainForm.StatusBar->Window, State.StatusFont.get());
    if (State.MainForm.ToolTip != nullptr) add(State.MainForm.ToolTip->Window, State.TipFont.get());
}

TScopedFont ScaledCopy(HFONT own, int dpi, int system) {
    LOGFONTA font{};
    if (::GetObjectA(own != nullptr ? static_cast<HGDIOBJ>(own) : ::GetStockObject(SYSTEM_FONT), sizeof font, &font) == 0)
        return TScopedFont();
    font.lfHeight = ::MulDiv(font.lfHeight, dpi, system);
    font.lfWidth = ::MulDiv(font.lfWidth, dpi, system);
    return TScopedFont(::CreateFontIndirectA(&font));
}

void FitDefaultFontsToScale() {
    const int system = pelmira::SystemDpi();
    // At the system's DPI the controls already have their own fonts unless a move gave them copies.
    if (WindowScale == system && ScaledDefaultFonts.empty()) return;
    std::vector<std::pair<HFONT, TScopedFont>> copies;  // own font -> its copy at this DPI
    for (const TDefaultFont& d : DefaultFonts) {
        HFONT font = d.Own;
        if (WindowScale != system) {
            auto made = std::find_if(copies.begin(), copies.end(), [&d](const auto& c) { return c.first == d.Own; });
            if (made == copies.end()) made = copies.insert(copies.end(), {d.Own, ScaledCopy(d.Own, WindowScale, system)});
            if (made->second) font = made->second;
        }
        ::SendMessageA(d.Control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    // The copies of the previous DPI go only now that no control uses them.
    ScaledDefaultFonts.clear();
    for (auto& [own, copy] : copies)
        if (copy) ScaledDefaultFonts.push_back(std::move(copy));
}

void ApplyFonts() {
    State.MainFont = ReadFont("MainFont");
    State.StatusFont = ReadFont("StatusFont");
    State.TipFont = ReadFont("TipFont");
    const TAPICFont* const fonts[3] = {State.MainFont.get(), State.StatusFont.get(), State.TipFont.get()};
    for (int i = 0; i < 3; ++i) FontPoints[i] = fonts[i] != nullptr ? fonts[i]->Size : 0;
    FitFontsToScale();
    RememberDefaultFonts();
    FitDefaultFontsToScale();
}

void PlaceWindow(const TOptions& options) {
    TSDIMainWindow* w = State.MainWindow;
    ApplyViewSize();
    if (options.X == -1) {
        w->CenterOnScreen();
        return;
    }
    const SIZE screen = GetScreenSize();
    w->SetLeft(ClampStartCoordinate(options.X, w->GetClientWidth(), screen.cx));
    w->SetTop(ClampStartCoordinate(options.Y, w->GetClientHeight(), screen.cy));
}

}  // namespace

std::string TrayTipText(const std::string& title) {
    // szTip holds 64 characters with its terminating zero.
    return title.substr(0, kTrayTipLength);
}

std::string FirstCommandLineArgument(const std::string& line) {
    std::size_t i = 0;
    // The program's own name comes first, quoted or not.
    if (!line.empty() && line[0] == '"') {
        const std::size_t close = line.find('"', 1);
        i = close == std::string::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= line.size()) return "";
    if (line[i] == '"') {
        const std::size_t close = line.find('"', i + 1);
        return line.substr(i + 1, close == std::string::npos ? std::string::npos : close - i - 1);
    }
    std::size_t end = i;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
    return line.substr(i, end - i);
}

POINT ContextMenuPoint(LPARAM position, const RECT& window) {
    // From the keyboard both coordinates are -1.
    if (static_cast<DWORD>(position) == 0xFFFFFFFFu)
        return POINT{(window.left + window.right) / 2, (window.top + window.bottom) / 2};
    // Signed: monitors left of or above the primary one have negative coordinates.
    return POINT{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
}

int ClampStartCoordinate(int position, int clientExtent, int screenExtent) {
    return KeepOnScreen(position, clientExtent, screenExtent);
}

void MainWindowCreate(TMessageRecord*) {
    State.MainWindowHandle = State.MainWindow->Handle;
    State.MainForm = TMainForm{};
    WindowScale = pelmira::WindowDpi(State.MainWindowHandle);
    Layout96.clear();
    Drawn96.clear();
    StartOptions = ReadOptions(TIniFile(State.SettingsFile), State.AppTitle);

    LoadLinkCursor();
    BuildMenus();
    State.CurrentFolder = State.ProgramFolder;
    State.FolderBrowseTitle = ReadLanguageText(State.CurrentSection, Texts::FolderBrowseTitle.Key, Texts::FolderBrowseTitle.Default);

    State.IconList = std::make_unique<TIntegerList>();
    State.IconList->Add(reinterpret_cast<INT_PTR>(::LoadIconA(::GetModuleHandleA(nullptr), "ashow")));
    State.IconList->Add(reinterpret_cast<INT_PTR>(GetResHandle(0)));
    State.IconList->Add(reinterpret_cast<INT_PTR>(GetResHandle(1)));
    FillTrayIconData();

    TWindowMenu* system = State.MainForm.SystemMenu;
    if (StartOptions.Tray == 1) {
        const bool added = ::Shell_NotifyIconA(NIM_ADD, &State.TrayIconData) != FALSE;
        system->SetChecked(kCmdTrayIcon, added);
        // Never run with neither a window nor a tray icon.
        if (!added) SetStartupShowState(SW_SHOWNORMAL);
    }
    system->SetChecked(kCmdDialog, StartOptions.Dialog == 1);
    system->SetChecked(kCmdWebSafe, StartOptions.WebSafe == 1);
    State.MainForm.TrayMenu->SetChecked(kCmdDialog, StartOptions.Dialog == 1);
    State.MainForm.TrayMenu->SetChecked(kCmdWebSafe, StartOptions.WebSafe == 1);

    CreateButtons();
    State.MainForm.StatusBar = CreateStatusBar(Window(), false);
    State.MainForm.MenuHelp = new TMenuHelp(Window());
    State.MainForm.MenuHelp->StatusWindow = State.MainForm.StatusBar->Window;

    State.CurrentRow = StartOptions.ListSelect;
    CreateFileList(StartOptions);
    CreateFolderRow();

    // The Suspend command below inverts the check again.
    State.MainForm.TrayMenu->SetChecked(kCmdSuspend, StartOptions.Suspend == 0);
    State.MainForm.FolderCheck->SetChecked(StartOptions.FolderEnable == 1);
    CreateColorButtons();
    // The texts before the Suspend command: with a colour dialog open somewhere it asks its
    // questions at once.
    State.TextList = std::make_unique<TStringArray>();
    const TTextBases bases = BuildTextList(TIniFile(State.LanguageFile), *State.TextList);
    State.StatusBase = bases.StatusBase;
    State.MessageBase = bases.MessageBase;
    State.ShowHideBase = bases.ShowHideBase;
    TrayCommand(kCmdSuspend);

    State.TipIdList = std::make_unique<TIntegerList>();
    State.FolderList = std::make_unique<TStringArray>();
    CreateToolTip();
    if (!bases.TipsActive && State.MainForm.ToolTip) State.MainForm.ToolTip->SetActive(false);

    BuildAccelerators();
    FillFolderList(StartOptions);
    OpenStartFolder();
    if (!State.MainForm.FolderCheck->Checked) EnableFolderControls(false);
    State.MainForm.FolderDrop = new TAPIDragDrop(State.MainForm.FolderCombo->Window);
    State.MainForm.FolderDrop->OnDrop = FolderDropped;
    // Other tools' palettes dropped on the list or a colour button are imported.
    // The colour buttons are drawn on the main window, which takes their drops.
    (new TAPIDragDrop(State.MainForm.FileList->Window))->OnDrop = PaletteFilesDropped;
    (new TAPIDragDrop(Window()))->OnDrop = ColorButtonsDropped;

    State.MainForm.Extension->SetChecked(StartOptions.Extension == 1);
    State.MainForm.OnTop->SetChecked(StartOptions.OnTop == 1);
    State.LeftClickAction = NormalizeLeftClick(StartOptions.LeftClick);
    if (State.LeftClickAction >= 1)
        State.MainForm.LeftClickMenu->CheckRadio(kCmdLeftClickFirst, kCmdLeftClickLast,
                                           kCmdLeftClickMenu + static_cast<UINT>(State.LeftClickAction));

    ApplyFonts();
    MainSize96 = ReadMainSize(TIniFile(State.LayoutFile));
    State.MainSize = ScaledMainSize();
    // The settings path shares its storage with the current palette's name, which starts empty.
    State.SettingsFile.clear();
    State.CurrentPaletteFile.clear();
    InstallKeyTraps();
    PlaceWindow(StartOptions);
    State.MainWindow->AddMessageHandler(WM_DPICHANGED, MainWindowDpiChanged);
}

// ---------------------------------------------------------------------------------------------
// Window messages
// ---------------------------------------------------------------------------------------------

void MainWindowActivate(TMessageRecord*) noexcept {
    if (!IsOwnForeground()) {
        // The program lost the activation: an eyedropper drag cannot go on without the mouse.
        for (TVxrinkBtn* button : State.MainForm.Paletto)
            if (button != nullptr) button->CancelPress();
        return;
    }
    if (State.MainForm.FolderCombo != nullptr && ::GetFocus() == State.MainForm.FolderCombo->Window)
        ::SetFocus(State.MainForm.FolderEdit->Window);
}

void MainWindowContextMenu(TMessageRecord* message) noexcept {
    if (State.MainForm.FileList == nullptr || reinterpret_cast<HWND>(message->WParam) != State.MainForm.FileList->Window) return;
    TAPIListView* list = State.MainForm.FileList;
    TAPopupMenu* menu = State.MainForm.ListMenu;
    const int selected = list->SelectedCount();
    menu->SetEnabled(kCmdListReName, selected == 1);
    menu->SetEnabled(kCmdDuplicate, selected == 1);
    menu->SetEnabled(kCmdListDelete, selected >= 1);
    RECT window{};
    ::GetWindowRect(Window(), &window);
    const POINT at = ContextMenuPoint(message->LParam, window);
    const UINT id = static_cast<UINT>(
        ::TrackPopupMenu(menu->Menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, Window(), nullptr));
    if (id != 0) menu->SendCommand(id);
    message->Result = 1;
}

void MainWindowClose(TMessageRecord* message) {
    // Answered here: the default procedure would destroy the window at once.
    message->Result = 1;
    TrayCommand(kCmdExit);
}

void MainWindowCommand(TMessageRecord* message) {
    TMessageRecord local = *message;
    local.Msg = reinterpret_cast<UINT_PTR>(Window());
    HandleDefaultCommand(local, ShowHookStateBox);
}

void MainWindowDpiChanged(TMessageRecord* message) noexcept {
    const int dpi = LOWORD(message->WParam);
    if (dpi <= 0 || dpi == WindowScale || State.MainWindow == nullptr) return;
    const int old = WindowScale;
    WindowScale = dpi;
    // The suggested rectangle keeps the window where the user dropped it, at the new size; the
    // client size is set again below from the layout numbers either way.
    if (const auto* suggested = reinterpret_cast<const RECT*>(message->LParam))
        ::SetWindowPos(Window(), nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                       suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    for (const auto& [control, box96] : Layout96) {
        const pelmira::TBox r = Scaled(box96);
        ::SetWindowPos(control, nullptr, r.X, r.Y, r.Width, r.Height, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (const auto& [button, box96] : Drawn96) {
        const pelmira::TBox r = Scaled(box96);
        button->SetBounds(r.X, r.Y, r.Width, r.Height);
    }
    if (TAPIListView* list = State.MainForm.FileList) {
        for (int column = 0; column < 2; ++column)
            ::SendMessageA(list->Window, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column),
                           pelmira::ScaleToDpi(pelmira::ScaleFromDpi(list->ColumnWidth(column), old), dpi));
    }
    if (State.MainForm.FolderEdit != nullptr && State.MainForm.FolderComboEdit != nullptr) {
        RECT client{};
        ::GetClientRect(State.MainForm.FolderComboEdit, &client);
        ::SetWindowPos(State.MainForm.FolderEdit->Window, nullptr, 0, 0, client.right, client.bottom,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    FitFontsToScale();
    FitDefaultFontsToScale();
    if (State.MainForm.StatusBar != nullptr) State.MainForm.StatusBar->Relayout();
    State.MainSize = ScaledMainSize();
    ApplyViewSize();
    ::InvalidateRect(Window(), nullptr, TRUE);
    message->Result = 0;
}

void ForgetMainForm() { State.MainForm = TMainForm{}; }

void OpenExtendedViewAtStart() {
    ShowStatusMessage(13);
    ApplyExtendedView();
    if (State.MainForm.FileList != nullptr) ::SetFocus(State.MainForm.FileList->Window);
    if (State.MainForm.FolderCombo != nullptr) ::InvalidateRect(State.MainForm.FolderCombo->Window, nullptr, TRUE);
}

TOptions CollectSettings() {
    TOptions v = StartOptions;
    const HWND w = Window();
    const RECT r = RestoredWindowRect(w);
    v.X = r.left;
    v.Y = r.top;
    v.Extension = ExtensionButtonDown() ? 1 : 0;
    v.Suspend = MenuItemChecked(kCmdSuspend) ? 1 : 0;
    v.Show = ::IsWindowVisible(w) && !::IsIconic(w) ? 1 : 0;
    v.OnTop = MenuItemChecked(kCmdOnTop) ? 1 : 0;
    v.LeftClick = State.LeftClickAction;
    v.Tray = MenuItemChecked(kCmdTrayIcon) ? 1 : 0;
    v.Dialog = MenuItemChecked(kCmdDialog) ? 1 : 0;
    v.WebSafe = MenuItemChecked(kCmdWebSafe) ? 1 : 0;
    if (State.MainForm.FileList != nullptr) {
        v.ListName = pelmira::ScaleFromDpi(State.MainForm.FileList->ColumnWidth(0), WindowScale);
        v.ListDate = pelmira::ScaleFromDpi(State.MainForm.FileList->ColumnWidth(1), WindowScale);
        v.ListSelect = ExtensionButtonDown() ? State.MainForm.FileList->FirstSelected() : State.CurrentRow;
    }
    v.Folders.clear();
    if (State.FolderList)
        for (int i = 0; i < State.FolderList->Count(); ++i) v.Folders.push_back(State.FolderList->Get(i));
    if (State.MainForm.FolderCheck != nullptr) v.FolderEnable = State.MainForm.FolderCheck->Checked ? 1 : 0;
    if (State.MainForm.FolderCombo != nullptr) v.FolderSelect = State.MainForm.FolderCombo->CurSel();
    return v;
}
