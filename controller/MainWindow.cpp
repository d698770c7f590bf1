// MainWindow.cpp: the main window's creation, the state it holds, and what it reports at exit.
//
// This is the part of the window that start-up and shutdown rely on: the options and texts, the
// icons and tray data, the hook switched on by one Suspend command, the size and the position.
// The check marks of the tray and system menus are kept in MenuChecks until those menus exist.
#include "MainWindow.h"

#include "APIWindow.h"
#include "Program.h"
#include "UtilFunc.h"

#include <cstring>

namespace {

// The options as read at creation; the values the controls are set to.
TOptions StartOptions;

// Check marks of the menu items this window answers for.
struct {
    bool OnTop = false;      // tray 301
    bool Suspended = false;  // tray 303: checked = hook suspended
    bool Dialog = false;     // system and tray 304
    bool WebSafe = false;    // system and tray 305
    bool TrayIcon = false;   // system 325
} MenuChecks;

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
    const std::string tip = AppTitle.substr(0, kTrayTipLength);
    std::memcpy(TrayIconData.szTip, tip.c_str(), tip.size() + 1);
}

// Command 303 as the start runs it: switch the hook to the state the check does not show yet,
// then flip the check, so that a check means "suspended" afterwards.
void RunSuspendCommand() {
    SetHookState(MenuChecks.Suspended);
    MenuChecks.Suspended = !MenuChecks.Suspended;
}

void ShowHookStateBox(HWND owner) {
    ::MessageBoxA(owner, MenuChecks.Suspended ? "on" : "off", "", MB_ICONINFORMATION);
}

void PlaceWindow(const TOptions& options) {
    TSDIMainWindow* w = WindowObject();
    w->SetClientWidth(MainSize.Width);
    w->SetClientHeight(options.Extension ? MainSize.ExtendedHeight : MainSize.NormalHeight);
    if (options.X == -1) {
        w->CenterOnScreen();
        return;
    }
    const SIZE screen = GetScreenSize();
    w->SetLeft(ClampStartCoordinate(options.X, w->GetClientWidth(), screen.cx));
    w->SetTop(ClampStartCoordinate(options.Y, w->GetClientHeight(), screen.cy));
}

}  // namespace

int ClampStartCoordinate(int position, int clientExtent, int screenExtent) {
    if (position + clientExtent > screenExtent) return screenExtent - clientExtent + 1;
    return position < 0 ? 0 : position;
}

void MainWindowCreate(TMessageRecord*) {
    MainWindowHandle = MainWindow->Handle;
    StartOptions = ReadOptions(TIniFile(SettingsFile), AppTitle);

    IconList = std::make_unique<TIntegerList>();
    IconList->Add(reinterpret_cast<INT_PTR>(::LoadIconA(::GetModuleHandleA(nullptr), "ashow")));
    IconList->Add(reinterpret_cast<INT_PTR>(GetResHandle(0)));
    IconList->Add(reinterpret_cast<INT_PTR>(GetResHandle(1)));
    FillTrayIconData();

    if (StartOptions.Tray == 1) {
        MenuChecks.TrayIcon = ::Shell_NotifyIconA(NIM_ADD, &TrayIconData) != FALSE;
        // Never run with neither a window nor a tray icon.
        if (!MenuChecks.TrayIcon) SetStartupShowState(SW_SHOWNORMAL);
    }
    MenuChecks.Dialog = StartOptions.Dialog == 1;
    MenuChecks.WebSafe = StartOptions.WebSafe == 1;

    MenuChecks.Suspended = StartOptions.Suspend == 0;
    RunSuspendCommand();

    TipIdList = std::make_unique<TIntegerList>();
    TextList = std::make_unique<TStringArray>();
    FolderList = std::make_unique<TStringArray>();
    const TTextBases bases = BuildTextList(TIniFile(LanguageFile), *TextList);
    StatusBase = bases.StatusBase;
    MessageBase = bases.MessageBase;
    ShowHideBase = bases.ShowHideBase;
    for (const std::string& folder : StartOptions.Folders) FolderList->Add(folder);

    LeftClickAction = StartOptions.LeftClick;
    MainSize = ReadMainSize(TIniFile(LayoutFile));
    PlaceWindow(StartOptions);

    MainWindow->AddMessageHandler(WM_CLOSE, MainWindowClose);
}

void MainWindowClose(TMessageRecord* message) {
    // Answered here: the default procedure would destroy the window at once.
    message->Result = 1;
    RunExitCommand();
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

bool MenuItemChecked(UINT id) {
    switch (id) {
    case kCmdOnTop: return MenuChecks.OnTop;
    case kCmdSuspend: return MenuChecks.Suspended;
    case kCmdDialog: return MenuChecks.Dialog;
    case kCmdWebSafe: return MenuChecks.WebSafe;
    case kCmdTrayIcon: return MenuChecks.TrayIcon;
    default: return false;
    }
}

bool ExtensionButtonDown() { return StartOptions.Extension == 1; }

bool OnTopButtonDown() { return StartOptions.OnTop == 1; }

void OpenExtendedViewAtStart() {
    WindowObject()->SetClientHeight(MainSize.ExtendedHeight);
}

void SetAlwaysOnTop(bool on) {
    MenuChecks.OnTop = on;
    AllwaysOnTop(Window(), on ? 1 : 0);
}

void SetHookState(bool install) {
    if (install && SetHook(Window()) == 0) {
        ::MessageBoxA(Window(), "SetHook Error.", AppTitle.c_str(), MB_OK);
        install = false;
    } else if (!install) {
        RemoveHook();
    }
    UpdateTrayIcon(install);
}

bool UpdateTrayIcon(bool active) {
    const auto icon = reinterpret_cast<HICON>(IconList->Get(active ? 0 : 1));
    TrayIconData.hIcon = icon;
    ::SetClassLongPtrA(Window(), GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
    if (!MenuItemChecked(kCmdTrayIcon)) return false;
    if (::Shell_NotifyIconA(NIM_MODIFY, &TrayIconData)) return true;
    ::MessageBoxA(Window(), "MakeTrayError", AppTitle.c_str(), MB_OK);
    return false;
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
    v.Suspend = MenuItemChecked(kCmdSuspend) ? 1 : 0;
    v.Show = ::IsWindowVisible(w) && !::IsIconic(w) ? 1 : 0;
    v.OnTop = MenuItemChecked(kCmdOnTop) ? 1 : 0;
    v.LeftClick = LeftClickAction;
    v.Tray = MenuItemChecked(kCmdTrayIcon) ? 1 : 0;
    v.Dialog = MenuItemChecked(kCmdDialog) ? 1 : 0;
    v.WebSafe = MenuItemChecked(kCmdWebSafe) ? 1 : 0;
    v.Folders.clear();
    for (int i = 0; i < FolderList->Count(); ++i) v.Folders.push_back(FolderList->Get(i));
    // What a combo box answers after being asked to select the saved index.
    const bool selectable = StartOptions.FolderSelect >= 0 && StartOptions.FolderSelect < FolderList->Count();
    v.FolderSelect = selectable ? StartOptions.FolderSelect : -1;
    return v;
}

void ApplyViewSize() {
    TSDIMainWindow* w = WindowObject();
    if (w == nullptr) return;
    const bool extended = MainForm.Extension != nullptr ? MainForm.Extension->GetChecked() : ExtensionButtonDown();
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
