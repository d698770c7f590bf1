// CommandIds.h: the numbers of the controller's commands (menus, system menu, accelerators, tray)
// and of the main window's controls, for the menus, the command handlers and the tests that send
// them from outside. Plain constants: safe to include from any unit and any program.
#pragma once

#include "Config.h"

// ---------------------------------------------------------------------------------------------
// Commands of the tray menu, the system menu and the accelerators
// ---------------------------------------------------------------------------------------------

inline constexpr UINT kCmdTrayMenu = 300;     // the tray pop-up itself
inline constexpr UINT kCmdOnTop = 301;
inline constexpr UINT kCmdShowHide = 302;
inline constexpr UINT kCmdSuspend = 303;
inline constexpr UINT kCmdDialog = 304;       // "USE Default Dialog(&Z)"
inline constexpr UINT kCmdWebSafe = 305;      // "WebSafeColor(&V)"
inline constexpr UINT kCmdExit = 306;
inline constexpr UINT kCmdLeftClickMenu = 310;
inline constexpr UINT kCmdLeftClickFirst = 311;  // 311 ... 316: left-click action 1 ... 6
inline constexpr UINT kCmdLeftClickLast = 316;
inline constexpr UINT kCmdTest = 320;
inline constexpr UINT kCmdAbout = 321;
inline constexpr UINT kCmdEditLabel = 323;    // Return: rename the selected palette in place
inline constexpr UINT kCmdTrayIcon = 325;     // "USE Task Tray(&I)"
inline constexpr UINT kCmdBrowseFolder = 400;
inline constexpr UINT kCmdRemoveFolder = 401;
inline constexpr UINT kCmdFolderCheck = 402;
inline constexpr UINT kCmdExtension = 403;
inline constexpr UINT kSeparator1 = 501;
inline constexpr UINT kSeparator2 = 502;
inline constexpr UINT kSeparator3 = 503;
inline constexpr UINT kCmdHelp = 504;
inline constexpr UINT kCmdReLoad = 706;
inline constexpr UINT kCmdReWrite = 707;
inline constexpr UINT kCmdFolderEdit = 800;   // Tab: focus the folder edit field

// ---------------------------------------------------------------------------------------------
// The list menu (600) and the colour menu (600)
// ---------------------------------------------------------------------------------------------

inline constexpr UINT kCmdListMenu = 600;
inline constexpr UINT kCmdListNew = 601;
inline constexpr UINT kCmdListReName = 602;
inline constexpr UINT kCmdListDelete = 603;
inline constexpr UINT kCmdColorEdit = 604;
inline constexpr UINT kCmdColorInit = 605;
inline constexpr UINT kCmdDuplicate = 606;
// 607 is Export (PaletteExchange.h). The colour menu's colour as clipboard text:
inline constexpr UINT kCmdCopyHex = 608;     // "#RRGGBB"
inline constexpr UINT kCmdCopyTriple = 609;  // "R, G, B"
inline constexpr UINT kCmdPasteColor = 610;  // any colour text the dialog's Ctrl+V takes

// ---------------------------------------------------------------------------------------------
// Control ids of the main window
// ---------------------------------------------------------------------------------------------

// The framework numbers controls from 400 in the order they are made: the nine buttons first,
// then the folder check box (the palette list between them is a common control without one).
inline constexpr int kSuspendButtonId = 400;
inline constexpr int kOnTopButtonId = 401;
inline constexpr int kExitButtonId = 402;
inline constexpr int kTestButtonId = 403;
inline constexpr int kNewButtonId = 404;
inline constexpr int kDeleteButtonId = 405;
inline constexpr int kReLoadButtonId = 406;
inline constexpr int kReWriteButtonId = 407;
inline constexpr int kExtensionButtonId = 408;
inline constexpr int kFolderCheckId = 409;

// ---------------------------------------------------------------------------------------------
// The tray icon
// ---------------------------------------------------------------------------------------------

inline constexpr UINT kTrayCallbackMessage = WM_USER + 101;  // 1125
inline constexpr UINT kTrayIconId = 1;
