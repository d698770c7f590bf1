// MainWindow.h: building the controller's main window and the handlers of its own messages.
//
// MainWindowCreate (WM_CREATE) builds the controls into State.MainForm, the icon list, tray data,
// fonts and lists; the start-up registers every handler of the window (RegisterMainWindowHandlers,
// Startup.h) and at WM_DESTROY frees what was built here. The control objects belong to the
// window (the framework frees them at its WM_DESTROY); State.MainForm only borrows them, and is
// cleared at that point. The top of the window's units: it calls the commands, the palette list,
// the palette operations and the about box; none of them calls back up. One GUI thread.
#pragma once

#include "Config.h"

#include <string>

#include "Settings.h"
#include "UtilClass.h"

inline constexpr int kTrayTipLength = 63;

// ---------------------------------------------------------------------------------------------
// Handlers of the main window
// ---------------------------------------------------------------------------------------------

// WM_CREATE: builds the window's contents, reads the options and texts, runs Suspend once.
void MainWindowCreate(TMessageRecord* message);
// WM_COMMAND: the framework's default commands.
void MainWindowCommand(TMessageRecord* message);
// WM_CLOSE (from outside: a task list, another program): takes the Exit command's path, so the
// window is still shown as it was when the options are saved. Without this the default
// procedure would hide the window before WM_DESTROY and the next start would be minimised.
void MainWindowClose(TMessageRecord* message);
// WM_ACTIVATE: a lost activation cancels an eyedropper drag; a regained one puts the focus back
// into the folder edit field rather than the combo under it.
void MainWindowActivate(TMessageRecord* message) noexcept;
// WM_CONTEXTMENU on the palette list: the list menu with its items enabled for the selection.
void MainWindowContextMenu(TMessageRecord* message) noexcept;

// Drops the borrowed control pointers; the window's WM_DESTROY frees the controls themselves.
void ForgetMainForm();

// ---------------------------------------------------------------------------------------------
// What the start-up and shutdown ask for
// ---------------------------------------------------------------------------------------------

// Start with the extended view: status message 13, the tall window with the list, list focus.
void OpenExtendedViewAtStart();
// The options as the window holds them now, for SaveSettings.
TOptions CollectSettings();

// The tray icon's tip: the title cut to 63 characters.
std::string TrayTipText(const std::string& title);
// The first argument of a command line (after the program's own name), without its quotes;
// empty when there is none.
std::string FirstCommandLineArgument(const std::string& line);

// Where the list menu opens for a WM_CONTEXTMENU position: the mouse position, or the centre of
// `window` when the menu was asked for from the keyboard.
POINT ContextMenuPoint(LPARAM position, const RECT& window);

// One start coordinate of the window (step "position" of the creation): a window that would
// reach past the screen edge is moved back so that its client area ends there; a negative
// coordinate becomes 0. KeepOnScreen over the client extent.
int ClampStartCoordinate(int position, int clientExtent, int screenExtent);
