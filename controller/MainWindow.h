// MainWindow.h: the controller's main window, as far as start-up and shutdown need it.
//
// The start-up sequence (Startup.cpp) creates the window with the handlers below, opens the
// extended view and always-on-top when the saved options ask for them, publishes the dialog
// flags, and at WM_DESTROY frees what MainWindowCreate built. What the window holds (icon list,
// tray data, fonts, lists) lives here; the functions answer from the window's controls and menus.
// One GUI thread.
#pragma once

#include "Config.h"

#include <shellapi.h>

#include <memory>

#include "Settings.h"
#include "UtilClass.h"

// ---------------------------------------------------------------------------------------------
// Ids the start-up and shutdown refer to
// ---------------------------------------------------------------------------------------------

inline constexpr UINT kCmdOnTop = 301;
inline constexpr UINT kCmdShowHide = 302;
inline constexpr UINT kCmdSuspend = 303;
inline constexpr UINT kCmdDialog = 304;    // "USE Default Dialog(&Z)"
inline constexpr UINT kCmdWebSafe = 305;   // "WebSafeColor(&V)"
inline constexpr UINT kCmdExit = 306;
inline constexpr UINT kCmdTrayIcon = 325;  // "USE Task Tray(&I)"
inline constexpr UINT kTrayCallbackMessage = WM_USER + 101;  // 1125
inline constexpr UINT kTrayIconId = 1;
inline constexpr int kTrayTipLength = 63;

// ---------------------------------------------------------------------------------------------
// What the window holds
// ---------------------------------------------------------------------------------------------

// [0] the program's icon "ashow" (hook active), [1] the library's suspended icon,
// [2] the library's eyedropper cursor.
inline std::unique_ptr<TIntegerList> IconList;
inline NOTIFYICONDATAA TrayIconData{};
inline std::unique_ptr<TIntegerList> TipIdList;      // tool id of tip i at position i
inline std::unique_ptr<TStringArray> FolderList;     // palette folders, in combo order
inline std::unique_ptr<TAPICFont> MainFont;         // optional fonts (ReadFont)
inline std::unique_ptr<TAPICFont> StatusFont;
inline std::unique_ptr<TAPICFont> TipFont;
inline int LeftClickAction = 1;                      // tray left click runs 300 + this
inline TMainSize MainSize;                           // [MainSize] of the layout file

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

// The Exit command: the shutdown through WM_DESTROY.
void RunExitCommand();

// ---------------------------------------------------------------------------------------------
// State the start-up and shutdown ask for
// ---------------------------------------------------------------------------------------------

// Check state of an item of the system menu (304, 305, 325) or the tray menu (301, 303).
bool MenuItemChecked(UINT id);
bool ExtensionButtonDown();
bool OnTopButtonDown();

// Start with the extended view: status message 13, the tall window with the list, list focus.
void OpenExtendedViewAtStart();
// Always on top (command 301's effect): check item 301 and tell the library.
void SetAlwaysOnTop(bool on);
// Installs (SetHook) or removes (RemoveHook) the hook and shows the state in the icons; a failed
// SetHook is reported with "SetHook Error." and shown as suspended.
void SetHookState(bool install);
// Shows the active or suspended icon in the window class and the tray; false when the tray
// icon is off or could not be modified ("MakeTrayError").
bool UpdateTrayIcon(bool active);
// The options as the window holds them now, for SaveSettings.
TOptions CollectSettings();

// One start coordinate of the window (step "position" of the creation): a window that would
// reach past the screen edge is moved back so that its client area ends there; a negative
// coordinate becomes 0.
int ClampStartCoordinate(int position, int clientExtent, int screenExtent);
