// Commands.h: the numbered commands of the controller (CommandIds.h) and what they switch: the
// hook, the tray icon, always-on-top, the dialog flags in the shared block, and the exit.
//
// TrayCommand executes the tray menu's commands (and the tray icon's left click); MenuCommand
// those of the command router, the system menu and the accelerators. Below the main window,
// which routes its menus, buttons and messages here; above the palette list, the palette
// operations and the about box, which the commands open. One GUI thread.
#pragma once

#include "Config.h"

#include <string>

#include "UtilClass.h"

// The commands of the tray menu and the tray icon's left click.
void TrayCommand(UINT id);
// The commands of the menus, the system menu and the accelerators.
void MenuCommand(UINT id);
// Asked before Suspend/resume and Exit while a colour dialog is taken over: two questions;
// true to go ahead. A second request while a question is on screen beeps and answers false.
bool ConfirmWhileDialogOpen(bool forExit);
// Commands 304 and 305: flip the check in both menus and publish it in the shared block.
void ToggleDialogFlag(UINT id);
// The Exit command: the shutdown through WM_DESTROY.
void RunExitCommand();

// The Show/Hide item of the tray menu and of its LeftClick submenu gets `text`.
void RefreshShowHideItem(const std::string& text);

// WM_SYSCOMMAND: minimise (to the tray when the icon is on), close through Exit, and the
// program's own system-menu items.
void SystemCommand(TMessageRecord* message) noexcept;
// Message 1125 from the tray icon; LParam is the mouse message.
void TrayNotify(TMessageRecord* message) noexcept;

// Always on top (command 301's effect): check item 301 and tell the library.
void SetAlwaysOnTop(bool on);
// The library's AllwaysOnTop for the main window, with the tool tip kept out of its way.
void ApplyAlwaysOnTop(bool on);
// Installs (SetHook) or removes (RemoveHook) the hook and shows the state in the icons; a failed
// SetHook is reported with "SetHook Error." and shown as suspended.
void SetHookState(bool install);
// Shows the active or suspended icon in the window class and the tray; false when the tray
// icon is off or could not be modified ("MakeTrayError").
bool UpdateTrayIcon(bool active);
