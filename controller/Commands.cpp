// Commands.cpp: the numbered commands of the controller and the tray icon (see Commands.h).
// Commands that switch the hook or end the program ask first while a colour dialog is taken over.
#include "Commands.h"

#include "About.h"
#include "CommandIds.h"
#include "Companion.h"
#include "ControllerState.h"
#include "Feedback.h"
#include "PaletteList.h"
#include "PaletteOps.h"
#include "Program.h"

namespace {

// A confirmation is on screen: a second request must not open another one from the message
// loop of the first (tray clicks and accelerators still arrive while it is open).
bool ConfirmationOpen = false;

bool ButtonDown(const TAPIRadioButton* button) { return button != nullptr && button->GetChecked(); }

void SetOnTopFromButton() {
    const bool on = ButtonDown(State.MainForm.OnTop);
    State.MainForm.TrayMenu->SetChecked(kCmdOnTop, on);
    ApplyAlwaysOnTop(on);
}

void ToggleWindowShown() {
    if (::IsWindowVisible(Window())) {
        ::ShowWindow(Window(), SW_HIDE);
        return;
    }
    ::ShowWindow(Window(), SW_SHOW);
    PublishPaletteFolder();
}

void SuspendCommand() {
    TAPIPushRadio* button = State.MainForm.Suspend;
    // Setting the button's state must not come back here as a click.
    const TEventProc click = button != nullptr ? button->OnClick : nullptr;
    if (button != nullptr) button->OnClick = nullptr;
    if (ConfirmWhileDialogOpen(false)) {
        const bool suspended = State.MainForm.TrayMenu->IsChecked(kCmdSuspend);
        SetHookState(suspended);
        State.MainForm.TrayMenu->SetChecked(kCmdSuspend, !suspended);
    }
    const bool suspended = State.MainForm.TrayMenu->IsChecked(kCmdSuspend);
    if (button != nullptr) {
        button->SetChecked(suspended);
        button->OnClick = click;
    }
    UpdateAboutIcon(suspended);
}

void ToggleTrayIcon() {
    TWindowMenu* system = State.MainForm.SystemMenu;
    const bool on = !system->IsChecked(kCmdTrayIcon);
    if (on) {
        system->SetChecked(kCmdTrayIcon, ::Shell_NotifyIconA(NIM_ADD, &State.TrayIconData) != FALSE);
    } else {
        system->SetChecked(kCmdTrayIcon, false);
        ::Shell_NotifyIconA(NIM_DELETE, &State.TrayIconData);
    }
}

void EditSelectedLabel() {
    TAPIListView* list = State.MainForm.FileList;
    if (list == nullptr || ::GetFocus() != list->Window) return;
    const int row = list->FirstSelected();
    if (row >= 0) list->EditLabel(row);
}

}  // namespace

bool UpdateTrayIcon(bool active) {
    if (!State.IconList) return false;
    const auto icon = reinterpret_cast<HICON>(State.IconList->Get(active ? 0 : 1));
    State.TrayIconData.hIcon = icon;
    ::SetClassLongPtrA(Window(), GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
    if (!MenuItemChecked(kCmdTrayIcon)) return false;
    if (::Shell_NotifyIconA(NIM_MODIFY, &State.TrayIconData)) return true;
    ShowMessageBox("MakeTrayError", State.AppTitle, MB_OK);
    return false;
}

void SetHookState(bool install) {
    if (!install) {
        RemoveHook();
    } else {
        const bool installed = SetHook(Window()) != 0;
        if (!installed) {
            ShowMessageBox("SetHook Error.", State.AppTitle, MB_OK);
            install = false;
        }
    }
    // The companion's hook follows the controller's, after it: the probe above is this
    // process's own.
    FollowHookState(install);
    UpdateTrayIcon(install);
}

bool ConfirmWhileDialogOpen(bool forExit) {
    // 255 (the geometry probe is still pending) asks as well.
    if (ChkDialog() == 0) return true;
    const std::string title = MessageText(forExit ? 2 : 3);
    ::MessageBeep(0xFFFFFFFF);
    if (ConfirmationOpen) return false;

    ConfirmationOpen = true;
    const std::string question = title + MessageText(11);
    bool go = ShowMessageBox(question, State.AppTitle, MB_YESNOCANCEL | MB_ICONHAND | MB_DEFBUTTON2) == IDYES;
    if (go) {
        const std::string second = MessageText(12);
        go = ShowMessageBox(second, title, MB_YESNO | MB_DEFBUTTON2) == IDYES;
    }
    ConfirmationOpen = false;
    return go;
}

void RunExitCommand() {
    // Shutdown is driven through WM_DESTROY alone; the framework frees the window object there.
    ::SendMessageA(Window(), WM_DESTROY, 0, 0);
}

void SetAlwaysOnTop(bool on) {
    if (State.MainForm.OnTop != nullptr) State.MainForm.OnTop->SetChecked(on);
    if (State.MainForm.TrayMenu != nullptr) State.MainForm.TrayMenu->SetChecked(kCmdOnTop, on);
    ApplyAlwaysOnTop(on);
}

void ApplyAlwaysOnTop(bool on) {
    // Wine puts a window that is made topmost below its own topmost popups (the tool tip), and
    // then does not make it topmost at all. The tip is released from its owner for the moment.
    const HWND tip = State.MainForm.ToolTip != nullptr ? State.MainForm.ToolTip->Window : nullptr;
    if (tip != nullptr) ::SetWindowLongPtrA(tip, GWLP_HWNDPARENT, 0);
    AllwaysOnTop(Window(), on ? 1 : 0);
    if (tip != nullptr) ::SetWindowLongPtrA(tip, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(Window()));
}

void ToggleDialogFlag(UINT id) {
    const bool on = !State.MainForm.SystemMenu->IsChecked(id);
    State.MainForm.SystemMenu->SetChecked(id, on);
    State.MainForm.TrayMenu->SetChecked(id, on);
    TLibraryBlock block;
    if (!block) return;  // only the menus change
    if (id == kCmdDialog) block->Dialog = on ? 1 : 0;
    else block->WebSafe = on ? 1 : 0;
}

void TrayCommand(UINT id) {
    switch (id) {
    case kCmdOnTop:
        if (State.MainForm.OnTop != nullptr) State.MainForm.OnTop->SetChecked(!State.MainForm.TrayMenu->IsChecked(kCmdOnTop));
        SetOnTopFromButton();
        break;
    // Inside one of the controller's own boxes these wait: the code after the box still needs
    // the window, its state and the hook as they were.
    case kCmdShowHide:
        if (!DeferToOpenModal()) ToggleWindowShown();
        break;
    case kCmdSuspend:
        if (!DeferToOpenModal()) SuspendCommand();
        break;
    case kCmdDialog:
    case kCmdWebSafe:
        ToggleDialogFlag(id);
        break;
    case kCmdExit:
        if (!DeferToOpenModal() && ConfirmWhileDialogOpen(true)) RunExitCommand();
        break;
    case kCmdAbout:
        ShowAbout();
        break;
    case kCmdHelp:
        OpenHelp();
        break;
    default:
        if (id >= kCmdLeftClickFirst && id <= kCmdLeftClickLast) {
            State.LeftClickAction = static_cast<int>(id - kCmdLeftClickMenu);
            State.MainForm.LeftClickMenu->CheckRadio(kCmdLeftClickFirst, kCmdLeftClickLast, id);
        }
        break;
    }
}

void MenuCommand(UINT id) {
    const bool extended = ExtensionButtonDown();
    switch (id) {
    case kCmdOnTop:
        State.MainForm.OnTop->SetChecked(!State.MainForm.OnTop->GetChecked());
        TrayCommand(kCmdOnTop);
        break;
    case kCmdSuspend:
    case kCmdDialog:
    case kCmdWebSafe:
    case kCmdExit:
    case kCmdAbout:
    case kCmdHelp:
        TrayCommand(id);
        break;
    case kCmdTest:
        BtnTestProc(Window());
        break;
    case kCmdEditLabel:
        EditSelectedLabel();
        break;
    case kCmdTrayIcon:
        ToggleTrayIcon();
        break;
    case kCmdBrowseFolder:
        if (State.MainForm.New->IsEnabled()) BrowseFolder();
        break;
    case kCmdRemoveFolder:
        if (State.MainForm.Delete->IsEnabled()) RemoveFolder();
        break;
    case kCmdFolderCheck:
        State.MainForm.FolderCheck->SetChecked(!State.MainForm.FolderCheck->Checked);
        FolderCheckChanged();
        break;
    case kCmdExtension:
        State.MainForm.Extension->SetChecked(!State.MainForm.Extension->GetChecked());
        ApplyExtendedView();
        break;
    case kCmdReLoad:
        if (!extended) break;
        if (State.MainForm.FileList->IsEnabled()) {
            PublishPaletteFolder();
            // A folder gone since the last fill has just said so (and disabled the list).
            if (State.MainForm.FileList->IsEnabled()) ShowStatusMessage(10);
        } else {
            ShowStatusMessage(1);
        }
        break;
    case kCmdReWrite:
        if (!extended) break;
        if (State.MainForm.ReWrite->IsEnabled()) {
            RewritePalette();
            ShowStatusMessage(11);
        } else {
            ShowStatusMessage(State.MainForm.FileList->IsEnabled() ? 12 : 1);
        }
        break;
    case kCmdFolderEdit:
        ::SetFocus(State.MainForm.FolderEdit->Window);
        break;
    default:
        break;
    }
}

void RefreshShowHideItem(const std::string& text) {
    TAPopupMenu* tray = State.MainForm.TrayMenu;
    TAPopupMenu* left = State.MainForm.LeftClickMenu;
    const UINT showItem = kCmdLeftClickFirst + 1;
    const bool checked = left->IsChecked(showItem);
    tray->RemoveItem(kCmdShowHide);
    left->RemoveItem(showItem);
    tray->InsertItem(static_cast<int>(kCmdSuspend), text, kCmdShowHide);
    left->InsertRadioItem(static_cast<int>(showItem + 1), text, showItem);
    if (checked) left->CheckRadio(kCmdLeftClickFirst, kCmdLeftClickLast, showItem);
}

void TrayNotify(TMessageRecord* message) noexcept {
    switch (static_cast<UINT>(message->LParam)) {
    case WM_LBUTTONDOWN:
        // LeftClick 0 names no command: 300 is the tray menu itself.
        if (State.LeftClickAction != 0) TrayCommand(kCmdTrayMenu + static_cast<UINT>(State.LeftClickAction));
        break;
    case WM_RBUTTONDOWN: {
        RefreshShowHideItem(TextAt(State.ShowHideBase + (::IsWindowVisible(Window()) ? 1 : 0)));
        ::SetForegroundWindow(Window());
        POINT at{};
        ::GetCursorPos(&at);
        const UINT id = static_cast<UINT>(::TrackPopupMenuEx(State.MainForm.TrayMenu->Menu, TPM_RETURNCMD | TPM_BOTTOMALIGN,
                                                             at.x, at.y, Window(), nullptr));
        TrayCommand(id);
        break;
    }
    default:
        break;
    }
    message->Result = 1;
}

void SystemCommand(TMessageRecord* message) noexcept {
    const auto command = static_cast<UINT>(message->WParam);
    switch (command & 0xFFF0) {
    case SC_MINIMIZE:
        if (MenuItemChecked(kCmdTrayIcon)) ::ShowWindow(Window(), SW_HIDE);
        else ::ShowWindow(Window(), SW_SHOWMINIMIZED);
        message->Result = 1;
        return;
    case SC_CLOSE:
        message->Result = 1;
        TrayCommand(kCmdExit);
        return;
    default:
        break;
    }
    switch (command) {
    case kCmdTrayIcon:
    case kCmdDialog:
    case kCmdWebSafe:
    case kCmdHelp:
    case kCmdAbout:
        message->Result = 1;
        MenuCommand(command);
        break;
    default:
        break;
    }
}
