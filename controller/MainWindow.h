// MainWindow.h: the controller's main window: its controls (MainForm), what it holds (icon
// list, tray data, fonts, lists), its menus and commands.
//
// The start-up sequence (Startup.cpp) creates the window with the handlers below, opens the
// extended view and always-on-top when the saved options ask for them, publishes the dialog
// flags, and at WM_DESTROY frees what MainWindowCreate built. The control objects belong to the
// window (the framework frees them at its WM_DESTROY); MainForm only borrows them, and is
// cleared at that point. One GUI thread.
#pragma once

#include "Config.h"

#include <shellapi.h>

#include <memory>
#include <string>

#include "APIControl.h"
#include "CmCtrl.h"
#include "GDIObject.h"
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
inline constexpr UINT kCmdTrayMenu = 300;     // the tray pop-up
inline constexpr UINT kCmdLeftClickMenu = 310;
inline constexpr UINT kCmdLeftClickFirst = 311;  // 311 ... 316: left-click action 1 ... 6
inline constexpr UINT kCmdLeftClickLast = 316;
inline constexpr UINT kCmdTest = 320;
inline constexpr UINT kCmdAbout = 321;
inline constexpr UINT kCmdEditLabel = 323;   // Return: rename the selected palette in place
inline constexpr UINT kCmdTrayIcon = 325;  // "USE Task Tray(&I)"
inline constexpr UINT kCmdBrowseFolder = 400;
inline constexpr UINT kCmdRemoveFolder = 401;
inline constexpr UINT kCmdFolderCheck = 402;
inline constexpr UINT kCmdExtension = 403;
inline constexpr UINT kSeparator1 = 501;
inline constexpr UINT kSeparator2 = 502;
inline constexpr UINT kSeparator3 = 503;
inline constexpr UINT kCmdHelp = 504;
inline constexpr UINT kCmdListMenu = 600;    // the list menu and the colour menu
inline constexpr UINT kCmdReLoad = 706;
inline constexpr UINT kCmdReWrite = 707;
inline constexpr UINT kCmdFolderEdit = 800;  // Tab: focus the folder edit field
inline constexpr UINT kTrayCallbackMessage = WM_USER + 101;  // 1125
inline constexpr UINT kTrayIconId = 1;
inline constexpr int kTrayTipLength = 63;

// ---------------------------------------------------------------------------------------------
// The controls and menus of the window (borrowed: the window owns them)
// ---------------------------------------------------------------------------------------------

struct TMainForm {
    // The nine buttons, in creation order (control ids 400 to 408).
    TAPIPushRadio* Suspend = nullptr;    // down while the hook is suspended
    TAPIPushRadio* OnTop = nullptr;      // down while always on top
    TAPIButton* Exit = nullptr;
    TAPIButton* Test = nullptr;
    TAPIButton* New = nullptr;           // add a palette folder (BrowseFolder)
    TAPIButton* Delete = nullptr;        // remove the palette folder (RemoveFolder)
    TAPIButton* ReLoad = nullptr;        // PublishPaletteFolder
    TAPIButton* ReWrite = nullptr;       // RewritePalette; enabled = the palette has changed
    TAPIPushRadio* Extension = nullptr;  // down in the extended view

    TAPIStatusBar* StatusBar = nullptr;  // status texts go to part 0
    TMenuHelp* MenuHelp = nullptr;
    TAPIListView* FileList = nullptr;    // the palette list, hidden in the normal view
    TAPICheckBox* FolderCheck = nullptr;
    TAPIDDCombo* FolderCombo = nullptr;  // layout key "FolderList"; entries parallel ::FolderList
    HWND FolderComboEdit = nullptr;      // the combo's own edit control, under FolderEdit
    TAPIMemoNext* FolderEdit = nullptr;  // laid over the combo's edit; accelerators off in it
    TVxrinkBtn* Paletto[16] = {};        // colour buttons, Tag = index; 0-7 top row
    TToolTip* ToolTip = nullptr;

    TWindowMenu* SystemMenu = nullptr;     // 325, 304, 305, 504, 321 appended
    TAMainMenu* CommandRouter = nullptr;   // menu and accelerator commands -> MenuCommand
    TAPopupMenu* TrayMenu = nullptr;       // 300
    TAPopupMenu* LeftClickMenu = nullptr;  // 310, radio items 311 ... 316
    TAMainMenu* ListRouter = nullptr;      // menu and accelerator commands -> ListCommand
    TAPopupMenu* ListMenu = nullptr;       // 600: 601, 602, 603, 606
    TAPopupMenu* ColorMenu = nullptr;      // 600: 604, 605, 606
    TAccelTable* Accelerators = nullptr;   // its AccelHandle is CurrentAccel while keys are on
    TAPIDragDrop* FolderDrop = nullptr;    // drops on the folder combo
};
inline TMainForm MainForm;

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
// WM_SYSCOMMAND: minimise (to the tray when the icon is on), close through Exit, and the
// program's own system-menu items.
void SystemCommand(TMessageRecord* message) noexcept;
// Message 1125 from the tray icon; LParam is the mouse message.
void TrayNotify(TMessageRecord* message) noexcept;
// Drops the borrowed control pointers; the window's WM_DESTROY frees the controls themselves.
void ForgetMainForm();

// ---------------------------------------------------------------------------------------------
// Commands
// ---------------------------------------------------------------------------------------------

// The commands of the tray menu and the tray icon's left click.
void TrayCommand(UINT id);
// The commands of the menus, the system menu and the accelerators.
void MenuCommand(UINT id);
// Asked before Suspend/resume and Exit while a colour dialog is taken over: two questions;
// true to go ahead. A second request while a question is on screen beeps and answers false.
bool ConfirmWhileDialogOpen(bool forExit);
// Commands 304 and 305: flip the check in both menus and publish it in the shared block.
void ToggleDialogFlag(UINT id);

// The Show/Hide item of the tray menu and of its LeftClick submenu gets `text`.
void RefreshShowHideItem(const std::string& text);

// The status bar's part 0.
void SetStatusText(const std::string& text);
// StatusMessage k of the language file in the status bar.
void ShowStatusMessage(int k);
// Accelerators on (the window's table) or off (while an edit field needs every key).
void SetAcceleratorsEnabled(bool on);
// The window's size for the view the Extension button shows: client width MainSize.Width, the
// extended height with the list shown, or the normal height with the list hidden.
void ApplyViewSize();

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
// The library's AllwaysOnTop for the main window, with the tool tip kept out of its way.
void ApplyAlwaysOnTop(bool on);
// Installs (SetHook) or removes (RemoveHook) the hook and shows the state in the icons; a failed
// SetHook is reported with "SetHook Error." and shown as suspended.
void SetHookState(bool install);
// Shows the active or suspended icon in the window class and the tray; false when the tray
// icon is off or could not be modified ("MakeTrayError").
bool UpdateTrayIcon(bool active);
// The options as the window holds them now, for SaveSettings.
TOptions CollectSettings();

// The tray icon's tip: the title cut to 63 characters.
std::string TrayTipText(const std::string& title);
// The first argument of a command line (after the program's own name), without its quotes;
// empty when there is none.
std::string FirstCommandLineArgument(const std::string& line);

// One start coordinate of the window (step "position" of the creation): a window that would
// reach past the screen edge is moved back so that its client area ends there; a negative
// coordinate becomes 0.
int ClampStartCoordinate(int position, int clientExtent, int screenExtent);
