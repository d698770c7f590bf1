// MainWindow.cpp: the main window's creation, its message handlers, and the state it reports.
//
// MainWindowCreate builds everything in a fixed order: menus first (the folder-browse title is
// read under the section the menu texts leave current), then the icons and tray data the Suspend
// command needs, the controls, the single Suspend command, texts, keys, folders, fonts, size and
// position. The commands themselves are in Commands.cpp.
#include "MainWindow.h"

#include "APIWindow.h"
#include "About.h"
#include "PaletteList.h"
#include "PaletteOps.h"
#include "Program.h"
#include "UtilFunc.h"

#include <cstring>

namespace {

// The options as read at creation.
TOptions StartOptions;

constexpr DWORD kFolderEditStyle = 0x540011C0;  // child, visible, clip siblings, auto-scroll
constexpr int kFolderDisplayLength = 22;        // folder combo entries: shortened paths

HWND Window() { return MainWindowHandle; }

TSDIMainWindow* WindowObject() { return MainWindow; }

void FillTrayIconData() {
    TrayIconData = NOTIFYICONDATAA{};
    // The classic 88-byte record: its fields are all the tray icon needs, and every shell
    // version accepts it.
    TrayIconData.cbSize = NOTIFYICONDATAA_V1_SIZE;
    TrayIconData.hWnd = Window();
    TrayIconData.uID = kTrayIconId;
    TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    TrayIconData.uCallbackMessage = kTrayCallbackMessage;
    TrayIconData.hIcon = reinterpret_cast<HICON>(IconList->Get(0));
    const std::string tip = TrayTipText(AppTitle);
    std::memcpy(TrayIconData.szTip, tip.c_str(), tip.size() + 1);
}

void ShowHookStateBox(HWND owner) {
    const bool down = MainForm.Suspend != nullptr && MainForm.Suspend->GetChecked();
    ::MessageBoxA(owner, down ? "on" : "off", "", MB_ICONINFORMATION);
}

// ---------------------------------------------------------------------------------------------
// Menus
// ---------------------------------------------------------------------------------------------

void RouteMenuCommand(TMessageRecord* message) noexcept { MenuCommand(LOWORD(message->WParam)); }

void RouteListCommand(TMessageRecord* message) noexcept {
    const UINT id = LOWORD(message->WParam);
    ListCommand(id, id == kCmdDuplicate);
}

void RouteAccelerator(TMessageRecord* message) noexcept {
    if (MainForm.Accelerators != nullptr) MainForm.Accelerators->SendCommand(*message);
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
    MainForm.SystemMenu = system;
    MenuInsertSeparator(system->Menu, -1, kSeparator1);
    system->AppendItem(tray, kCmdTrayIcon);
    system->AppendItem(dialog, kCmdDialog);
    system->AppendItem(webSafe, kCmdWebSafe);
    MenuInsertSeparator(system->Menu, -1, kSeparator2);
    system->AppendItem("&Help", kCmdHelp);
    system->AppendItem(about, kCmdAbout);

    MainForm.CommandRouter = CreateMainMenu(w, RouteMenuCommand);

    TAPopupMenu* trayMenu = CreatePopupMenuObject(w, kCmdTrayMenu, nullptr);
    MainForm.TrayMenu = trayMenu;
    trayMenu->AttachTo(MainForm.CommandRouter, -1, "&Menu");
    trayMenu->AppendItem(onTop, kCmdOnTop);
    trayMenu->AppendItem("Show", kCmdShowHide);
    trayMenu->AppendItem(suspend, kCmdSuspend);
    trayMenu->AppendItem(dialog, kCmdDialog);
    trayMenu->AppendItem(webSafe, kCmdWebSafe);
    trayMenu->AppendSeparator(kSeparator1);

    TAPopupMenu* leftMenu = CreatePopupMenuObject(w, kCmdLeftClickMenu, nullptr);
    MainForm.LeftClickMenu = leftMenu;
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

    MainForm.ListRouter = CreateMainMenu(w, RouteListCommand);
    TAPopupMenu* listMenu = CreatePopupMenuObject(w, kCmdListMenu, nullptr);
    MainForm.ListMenu = listMenu;
    listMenu->AttachTo(MainForm.ListRouter, -1, "&OptionLV");
    listMenu->AppendItem(ReadLanguageText(Texts::ListNew), kCmdListNew);
    listMenu->AppendItem(ReadLanguageText(Texts::ListReName), kCmdListReName);
    listMenu->AppendItem(ReadLanguageText(Texts::ListDelete), kCmdListDelete);
    listMenu->AppendItem(ReadLanguageText(Texts::ListDuplicate), kCmdDuplicate);

    TAPopupMenu* colorMenu = CreatePopupMenuObject(w, kCmdListMenu, nullptr);
    MainForm.ColorMenu = colorMenu;
    colorMenu->AttachTo(MainForm.ListRouter, -1, "&OptionST");
    colorMenu->AppendItem(ReadLanguageText(Texts::ColorEdit), kCmdColorEdit);
    colorMenu->AppendItem(ReadLanguageText(Texts::ColorInit), kCmdColorInit);
    colorMenu->AppendItem(ReadLanguageText(Texts::ColorDuplicate), kCmdDuplicate);
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

void FolderEditFocused(TMessageRecord*) noexcept { SetAcceleratorsEnabled(false); }
void FolderEditLeft(TMessageRecord*) noexcept { SetAcceleratorsEnabled(true); }

void FolderDropped(TMessageRecord*) noexcept {
    if (MainForm.FolderDrop == nullptr) return;
    std::vector<std::string> paths;
    for (int i = 0; i < MainForm.FolderDrop->FileCount; ++i) paths.push_back(MainForm.FolderDrop->GetFile(i));
    DropOnFolderList(paths);
}

void CreateButtons() {
    static constexpr TEventProc kClicks[9] = {SuspendClicked, OnTopClicked,  ExitClicked,
                                              TestClicked,    NewClicked,    DeleteClicked,
                                              ReLoadClicked,  ReWriteClicked, ExtensionClicked};
    CurrentSection = kButtonSection;
    for (int i = 0; i < 9; ++i) {
        TCreateBtntype& b = ButtonTable[i];
        b.OnClick = kClicks[i];
        const TRectPlus r = ReadLayout(b.Key, TRectPlus{b.X, b.Y, b.Width, b.Height, b.DefaultCaption});
        if (b.Kind == 1) {
            b.Control = CreatePushRadio(Window(), r.X, r.Y, r.Width, r.Height, r.Caption, 0, b.OnClick);
        } else {
            b.Control = CreateButton(Window(), r.X, r.Y, r.Width, r.Height, r.Caption, b.OnClick);
        }
    }
    MainForm.Suspend = static_cast<TAPIPushRadio*>(ButtonTable[0].Control);
    MainForm.OnTop = static_cast<TAPIPushRadio*>(ButtonTable[1].Control);
    MainForm.Exit = static_cast<TAPIButton*>(ButtonTable[2].Control);
    MainForm.Test = static_cast<TAPIButton*>(ButtonTable[3].Control);
    MainForm.New = static_cast<TAPIButton*>(ButtonTable[4].Control);
    MainForm.Delete = static_cast<TAPIButton*>(ButtonTable[5].Control);
    MainForm.ReLoad = static_cast<TAPIButton*>(ButtonTable[6].Control);
    MainForm.ReWrite = static_cast<TAPIButton*>(ButtonTable[7].Control);
    MainForm.Extension = static_cast<TAPIPushRadio*>(ButtonTable[8].Control);
}

void CreateFileList(const TOptions& options) {
    const TRectPlus r = ReadLayout("FileList", kFileListLayout);
    TAPIListView* list = CreateListView(Window(), r.X, r.Y, r.Width, r.Height, nullptr);
    MainForm.FileList = list;
    list->AddColumn(0, options.ListName, ReadLanguageText(Texts::ColumnName), false, 0);
    list->AddColumn(1, options.ListDate, ReadLanguageText(Texts::ColumnDate), false, 0);
    AttachPaletteListHandlers(list);
}

void CreateFolderRow() {
    const TRectPlus check = ReadLayout("FolderCheck", kFolderCheckLayout);
    MainForm.FolderCheck = CreateCheckBox(Window(), check.X, check.Y, check.Width, check.Height, "", FolderCheckClicked);

    const TRectPlus combo = ReadLayout("FolderList", kFolderListLayout);
    MainForm.FolderCombo =
        CreateDropDownCombo(Window(), combo.X, combo.Y, combo.Width, combo.Height, FolderComboChanged);

    // FolderEdit covers the combo's own edit exactly, so the full path shows where the combo
    // would show its shortened entry.
    const HWND comboEdit = ::FindWindowExA(MainForm.FolderCombo->Window, nullptr, "Edit", nullptr);
    MainForm.FolderComboEdit = comboEdit;
    RECT client{};
    if (comboEdit != nullptr) ::GetClientRect(comboEdit, &client);
    TAPIMemoNext* edit = CreateMemoNext(comboEdit != nullptr ? comboEdit : MainForm.FolderCombo->Window, 0, 0,
                                        client.right, client.bottom, kFolderEditStyle, 0, 0);
    MainForm.FolderEdit = edit;
    edit->OnSetFocus = FolderEditFocused;
    edit->OnKillFocus = FolderEditLeft;
    ::ShowWindow(edit->Window, SW_SHOW);
    edit->SetText(CurrentFolder);
}

void CreateColorButtons() {
    const TRectPlus r = ReadLayout("Paletto", kPalettoLayout);
    const int gap = ReadPalettoGap(TIniFile(LayoutFile));
    const auto cursor = reinterpret_cast<HCURSOR>(IconList->Get(2));
    for (int i = 0; i < 16; ++i) {
        const int column = i % 8;
        const int x = r.X + column * (r.Width + gap);
        const int y = i < 8 ? r.Y : r.Y + r.Height + gap;
        TVxrinkBtn* button = CreateVxrinkBtn(Window(), x, y, r.Width, r.Height, "", nullptr, nullptr, nullptr, i,
                                             EDGE_RAISED);
        button->SetColor(0xFFFFFF);
        button->DragCursor = cursor;
        MainForm.Paletto[i] = button;
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
    if (header == nullptr || !TipIdList) return;
    const int tip = TipIdList->IndexOf(static_cast<INT_PTR>(header->idFrom));
    if (tip < 0) return;
    std::string text = TextAt(tip);
    if (tip == kTipReWrite) text = "[" + CurrentPaletteFile + "]" + text;
    const bool extended = MainForm.Extension != nullptr && MainForm.Extension->GetChecked();
    if (extended && tip == kTipExtension) text = StatusText(6);
    if (extended && tip == kTipFolderCheck) text = StatusText(7);
    SetStatusText(text);
}

void TipPopped(TMessageRecord*) noexcept { SetStatusText(CurrentPaletteFile); }

void CreateToolTip() {
    TToolTip* tip = NewControl<TToolTip>(Window());
    MainForm.ToolTip = tip;
    tip->OnShow = TipShown;
    tip->OnPop = TipPopped;
    TObject* const tools[kTipCount] = {MainForm.Exit,      MainForm.New,         MainForm.Delete,
                                       MainForm.Test,      MainForm.ReLoad,      MainForm.ReWrite,
                                       MainForm.Suspend,   MainForm.Extension,   MainForm.FolderCheck,
                                       MainForm.FolderCombo, MainForm.OnTop};
    const TIniFile language(LanguageFile);
    for (int i = 0; i < kTipCount; ++i) {
        tip->AddTool(tools[i], language.ReadString(kTipHelpSection, IntToText(i), kNoTipText));
        TipIdList->Add(static_cast<INT_PTR>(tip->ToolId(i)));
    }
}

// ---------------------------------------------------------------------------------------------
// Keys
// ---------------------------------------------------------------------------------------------

void BuildAccelerators() {
    TAccelTable* table = CreateAccelTable(Window(), RouteAccelerator);
    MainForm.Accelerators = table;
    const TIniFile language(LanguageFile);
    for (const TMenuKeytype& entry : kMainKeys) table->AddKey(FCONTROL, ReadAcceleratorKey(language, entry), entry.Command);
    table->AddKey(0, VK_RETURN, kCmdEditLabel);
    table->AddKey(0, VK_F2, kCmdListReName);
    table->AddKey(0, VK_F5, kCmdReLoad);
    table->AddKey(0, VK_TAB, kCmdFolderEdit);
    table->AddKey(0, VK_DELETE, kCmdListDelete);
    CurrentAccel = table->Build();
}

void FolderEditKeys(TMessageRecord* message) noexcept {
    switch (message->WParam) {
    case VK_TAB:
    case VK_ESCAPE:
        if (MainForm.FileList == nullptr) return;
        ::SetFocus(MainForm.FileList->Window);
        // SelectItem loads the row it selects.
        if (MainForm.FileList->SelectedCount() == 0) MainForm.FileList->SelectItem(0);
        break;
    case VK_RETURN: {
        const std::string text = MainForm.FolderEdit->GetText();
        if (!text.empty()) AddFolder(text);
        break;
    }
    case VK_UP:
    case VK_DOWN:
        ::SendMessageA(MainForm.FolderCombo->Window, WM_KEYDOWN, message->WParam, message->LParam);
        break;
    default:
        break;
    }
}

void InstallKeyTraps() {
    auto* editTrap = new TMessageTrapper(MainForm.FolderEdit->Window);
    editTrap->Trap(WM_KEYDOWN, FolderEditKeys);
    auto* listTrap = new TMessageTrapper(MainForm.FileList->Window);
    listTrap->Trap(WM_KEYUP, PaletteListKeyUp);
}

// ---------------------------------------------------------------------------------------------
// Folders and the command line
// ---------------------------------------------------------------------------------------------

void FillFolderList(const TOptions& options) {
    for (const std::string& folder : options.Folders) {
        FolderList->Add(folder);
        MainForm.FolderCombo->AddString(ShortenPath(folder, kFolderDisplayLength));
    }
    if (!options.Folders.empty()) MainForm.FolderCombo->SetCurSel(options.FolderSelect);
}

void OpenStartFolder() {
    char current[MAX_PATH + 1] = {};
    ::GetCurrentDirectoryA(MAX_PATH, current);
    const std::string d = current;
    PendingName = d;

    const std::string argument = FirstCommandLineArgument(::GetCommandLineA());
    std::string p = d;
    if (!argument.empty()) {
        p = argument.find('\\') != std::string::npos ? argument : d + "\\" + argument;
        p = LongPathOf(p);
        PendingName = !p.empty() ? FileNameOf(p) : LongPathOf(d);
    }
    if (p.find('.') != std::string::npos) p = DirectoryOf(p);

    bool startsInProgramFolder = false;
    if (::lstrcmpiA(p.c_str(), ProgramFolder.c_str()) != 0) {
        AddFolder(p);
        MainForm.FolderCheck->SetChecked(true);
    } else {
        startsInProgramFolder = true;
    }
    if (!argument.empty()) {
        CurrentRow = -2;
        if (startsInProgramFolder) MainForm.FolderCheck->SetChecked(false);
    }
}

void EnableFolderControls(bool on) {
    MainForm.FolderCombo->SetEnabled(on);
    MainForm.New->SetEnabled(on);
    MainForm.Delete->SetEnabled(on);
    MainForm.FolderEdit->SetEnabled(on);
}

void ApplyFonts() {
    MainFont = ReadFont("MainFont");
    StatusFont = ReadFont("StatusFont");
    TipFont = ReadFont("TipFont");
    if (MainFont) {
        for (const TCreateBtntype& b : ButtonTable)
            if (b.Control != nullptr) MainFont->ApplyTo(b.Control->Window);
        MainFont->ApplyTo(MainForm.FileList->Window);
        MainFont->ApplyTo(MainForm.FolderCombo->Window);
    }
    if (StatusFont) StatusFont->ApplyTo(MainForm.StatusBar->Window);
    if (TipFont) TipFont->ApplyTo(MainForm.ToolTip->Window);
}

void PlaceWindow(const TOptions& options) {
    TSDIMainWindow* w = WindowObject();
    ApplyViewSize();
    if (options.X == -1) {
        w->CenterOnScreen();
        return;
    }
    const SIZE screen = GetScreenSize();
    w->SetLeft(ClampStartCoordinate(options.X, w->GetClientWidth(), screen.cx));
    w->SetTop(ClampStartCoordinate(options.Y, w->GetClientHeight(), screen.cy));
}

// ---------------------------------------------------------------------------------------------
// Window messages
// ---------------------------------------------------------------------------------------------

void MainWindowActivate(TMessageRecord*) noexcept {
    if (!IsOwnForeground()) {
        // The program lost the activation: an eyedropper drag cannot go on without the mouse.
        for (TVxrinkBtn* button : MainForm.Paletto)
            if (button != nullptr) button->CancelPress();
        return;
    }
    if (MainForm.FolderCombo != nullptr && ::GetFocus() == MainForm.FolderCombo->Window)
        ::SetFocus(MainForm.FolderEdit->Window);
}

void MainWindowContextMenu(TMessageRecord* message) noexcept {
    if (MainForm.FileList == nullptr || reinterpret_cast<HWND>(message->WParam) != MainForm.FileList->Window) return;
    TAPIListView* list = MainForm.FileList;
    TAPopupMenu* menu = MainForm.ListMenu;
    const int selected = list->SelectedCount();
    menu->SetEnabled(kCmdListReName, selected == 1);
    menu->SetEnabled(kCmdDuplicate, selected == 1);
    menu->SetEnabled(kCmdListDelete, selected >= 1);
    const UINT id = menu->Track(*message, Window());
    if (id != 0) menu->SendCommand(id);
    message->Result = 1;
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

int ClampStartCoordinate(int position, int clientExtent, int screenExtent) {
    if (position + clientExtent > screenExtent) return screenExtent - clientExtent + 1;
    return position < 0 ? 0 : position;
}

void MainWindowCreate(TMessageRecord*) {
    MainWindowHandle = MainWindow->Handle;
    MainForm = TMainForm{};
    StartOptions = ReadOptions(TIniFile(SettingsFile), AppTitle);

    LoadLinkCursor();
    BuildMenus();
    CurrentFolder = ProgramFolder;
    FolderBrowseTitle = ReadLanguageText(CurrentSection, Texts::FolderBrowseTitle.Key, Texts::FolderBrowseTitle.Default);

    IconList = std::make_unique<TIntegerList>();
    IconList->Add(reinterpret_cast<INT_PTR>(::LoadIconA(::GetModuleHandleA(nullptr), "ashow")));
    IconList->Add(reinterpret_cast<INT_PTR>(GetResHandle(0)));
    IconList->Add(reinterpret_cast<INT_PTR>(GetResHandle(1)));
    FillTrayIconData();

    TWindowMenu* system = MainForm.SystemMenu;
    if (StartOptions.Tray == 1) {
        const bool added = ::Shell_NotifyIconA(NIM_ADD, &TrayIconData) != FALSE;
        system->SetChecked(kCmdTrayIcon, added);
        // Never run with neither a window nor a tray icon.
        if (!added) SetStartupShowState(SW_SHOWNORMAL);
    }
    system->SetChecked(kCmdDialog, StartOptions.Dialog == 1);
    system->SetChecked(kCmdWebSafe, StartOptions.WebSafe == 1);
    MainForm.TrayMenu->SetChecked(kCmdDialog, StartOptions.Dialog == 1);
    MainForm.TrayMenu->SetChecked(kCmdWebSafe, StartOptions.WebSafe == 1);

    CreateButtons();
    MainForm.StatusBar = CreateStatusBar(Window(), false);
    MainForm.MenuHelp = new TMenuHelp(Window());
    MainForm.MenuHelp->StatusWindow = MainForm.StatusBar->Window;

    CurrentRow = StartOptions.ListSelect;
    CreateFileList(StartOptions);
    CreateFolderRow();

    // The Suspend command below inverts the check again.
    MainForm.TrayMenu->SetChecked(kCmdSuspend, StartOptions.Suspend == 0);
    MainForm.FolderCheck->SetChecked(StartOptions.FolderEnable == 1);
    CreateColorButtons();
    TrayCommand(kCmdSuspend);

    TipIdList = std::make_unique<TIntegerList>();
    TextList = std::make_unique<TStringArray>();
    FolderList = std::make_unique<TStringArray>();
    CreateToolTip();
    const TTextBases bases = BuildTextList(TIniFile(LanguageFile), *TextList);
    StatusBase = bases.StatusBase;
    MessageBase = bases.MessageBase;
    ShowHideBase = bases.ShowHideBase;
    if (!bases.TipsActive && MainForm.ToolTip) MainForm.ToolTip->SetActive(false);

    BuildAccelerators();
    FillFolderList(StartOptions);
    OpenStartFolder();
    if (!MainForm.FolderCheck->Checked) EnableFolderControls(false);
    MainForm.FolderDrop = new TAPIDragDrop(MainForm.FolderCombo->Window);
    MainForm.FolderDrop->OnDrop = FolderDropped;

    MainForm.Extension->SetChecked(StartOptions.Extension == 1);
    MainForm.OnTop->SetChecked(StartOptions.OnTop == 1);
    LeftClickAction = NormalizeLeftClick(StartOptions.LeftClick);
    if (LeftClickAction >= 1)
        MainForm.LeftClickMenu->CheckRadio(kCmdLeftClickFirst, kCmdLeftClickLast,
                                           kCmdLeftClickMenu + static_cast<UINT>(LeftClickAction));

    ApplyFonts();
    MainSize = ReadMainSize(TIniFile(LayoutFile));
    // The settings path shares its storage with the current palette's name, which starts empty.
    SettingsFile.clear();
    CurrentPaletteFile.clear();
    InstallKeyTraps();
    PlaceWindow(StartOptions);

    MainWindow->AddMessageHandler(WM_CLOSE, MainWindowClose);
    MainWindow->AddMessageHandler(WM_ACTIVATE, MainWindowActivate);
    MainWindow->AddMessageHandler(WM_SYSCOMMAND, SystemCommand);
    MainWindow->AddMessageHandler(WM_CONTEXTMENU, MainWindowContextMenu);
    MainWindow->AddMessageHandler(kTrayCallbackMessage, TrayNotify);
}

void MainWindowClose(TMessageRecord* message) {
    // Answered here: the default procedure would destroy the window at once.
    message->Result = 1;
    TrayCommand(kCmdExit);
}

void RunExitCommand() {
    // Shutdown is driven through WM_DESTROY alone; the framework frees the window object there.
    ::SendMessageA(Window(), WM_DESTROY, 0, 0);
}

void MainWindowCommand(TMessageRecord* message) {
    TMessageRecord local = *message;
    local.Msg = reinterpret_cast<UINT_PTR>(Window());
    HandleDefaultCommand(local, ShowHookStateBox);
}

void ForgetMainForm() { MainForm = TMainForm{}; }

bool MenuItemChecked(UINT id) {
    switch (id) {
    case kCmdOnTop:
    case kCmdSuspend:
        return MainForm.TrayMenu != nullptr && MainForm.TrayMenu->IsChecked(id);
    case kCmdDialog:
    case kCmdWebSafe:
    case kCmdTrayIcon:
        return MainForm.SystemMenu != nullptr && MainForm.SystemMenu->IsChecked(id);
    default:
        return false;
    }
}

bool ExtensionButtonDown() { return MainForm.Extension != nullptr && MainForm.Extension->GetChecked(); }

bool OnTopButtonDown() { return MainForm.OnTop != nullptr && MainForm.OnTop->GetChecked(); }

void OpenExtendedViewAtStart() {
    ShowStatusMessage(13);
    ApplyExtendedView();
    if (MainForm.FileList != nullptr) ::SetFocus(MainForm.FileList->Window);
    if (MainForm.FolderCombo != nullptr) ::InvalidateRect(MainForm.FolderCombo->Window, nullptr, TRUE);
}

void SetAlwaysOnTop(bool on) {
    if (MainForm.OnTop != nullptr) MainForm.OnTop->SetChecked(on);
    if (MainForm.TrayMenu != nullptr) MainForm.TrayMenu->SetChecked(kCmdOnTop, on);
    ApplyAlwaysOnTop(on);
}

void ApplyAlwaysOnTop(bool on) {
    // Wine puts a window that is made topmost below its own topmost popups (the tool tip), and
    // then does not make it topmost at all. The tip is released from its owner for the moment.
    const HWND tip = MainForm.ToolTip != nullptr ? MainForm.ToolTip->Window : nullptr;
    if (tip != nullptr) ::SetWindowLongPtrA(tip, GWLP_HWNDPARENT, 0);
    AllwaysOnTop(Window(), on ? 1 : 0);
    if (tip != nullptr) ::SetWindowLongPtrA(tip, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Window()));
}

TOptions CollectSettings() {
    TOptions v = StartOptions;
    const HWND w = Window();
    RECT r{};
    if (::IsIconic(w)) {
        WINDOWPLACEMENT placement{};
        placement.length = sizeof placement;
        ::GetWindowPlacement(w, &placement);
        r = placement.rcNormalPosition;
    } else {
        ::GetWindowRect(w, &r);
    }
    v.X = r.left;
    v.Y = r.top;
    v.Extension = ExtensionButtonDown() ? 1 : 0;
    v.Suspend = MenuItemChecked(kCmdSuspend) ? 1 : 0;
    v.Show = ::IsWindowVisible(w) && !::IsIconic(w) ? 1 : 0;
    v.OnTop = MenuItemChecked(kCmdOnTop) ? 1 : 0;
    v.LeftClick = LeftClickAction;
    v.Tray = MenuItemChecked(kCmdTrayIcon) ? 1 : 0;
    v.Dialog = MenuItemChecked(kCmdDialog) ? 1 : 0;
    v.WebSafe = MenuItemChecked(kCmdWebSafe) ? 1 : 0;
    if (MainForm.FileList != nullptr) {
        v.ListName = MainForm.FileList->ColumnWidth(0);
        v.ListDate = MainForm.FileList->ColumnWidth(1);
        v.ListSelect = ExtensionButtonDown() ? MainForm.FileList->FirstSelected() : CurrentRow;
    }
    v.Folders.clear();
    if (FolderList)
        for (int i = 0; i < FolderList->Count(); ++i) v.Folders.push_back(FolderList->Get(i));
    if (MainForm.FolderCheck != nullptr) v.FolderEnable = MainForm.FolderCheck->Checked ? 1 : 0;
    if (MainForm.FolderCombo != nullptr) v.FolderSelect = MainForm.FolderCombo->CurSel();
    return v;
}

void ApplyViewSize() {
    TSDIMainWindow* w = WindowObject();
    if (w == nullptr) return;
    const bool extended = ExtensionButtonDown();
    w->SetClientWidth(MainSize.Width);
    w->SetClientHeight(extended ? MainSize.ExtendedHeight : MainSize.NormalHeight);
    if (MainForm.FileList != nullptr) MainForm.FileList->SetVisible(extended);
}

void SetStatusText(const std::string& text) {
    if (MainForm.StatusBar != nullptr) MainForm.StatusBar->SetText(0, text);
}

void ShowStatusMessage(int k) { SetStatusText(StatusText(k)); }

void SetAcceleratorsEnabled(bool on) {
    CurrentAccel = on && MainForm.Accelerators != nullptr ? MainForm.Accelerators->AccelHandle : nullptr;
}
