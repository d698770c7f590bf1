// ControllerState.h: everything the controller (vorlund.exe) holds while it runs, in one record
// with one instance, State. The bottom of the controller: it includes framework headers only.
//
// The controller's units, bottom to top; a unit includes only units below it:
//   ControllerState, Program (hook library binding)       what is held; the library's exports
//   CommandIds, Feedback, Placement                       ids; status bar, keys, menu checks
//   Settings, PaletteRules, PaletteStore, Companion       INI files; palette names and files; 32-bit hook
//   PaletteOps, About                                     the sixteen colours and their file; about box
//   PaletteList                                           folder row and palette list
//   Commands                                              numbered commands, tray, hook switch
//   MainWindow                                            building the window, its handlers, shutdown
//   Startup, main                                         the entry sequence
//
// Ownership: the unique_ptr members are owned here and released at the main window's WM_DESTROY;
// MainForm and MainWindow only borrow (the framework frees window objects at their WM_DESTROY).
// One GUI thread: nothing here is locked.
#pragma once

#include "Config.h"

#include <shellapi.h>

#include <memory>
#include <string>

#include "APIControl.h"
#include "CmCtrl.h"
#include "GDIObject.h"
#include "UtilClass.h"

class TSDIMainWindow;

// The controls and menus of the main window (borrowed: the window owns them).
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
    TAPIDDCombo* FolderCombo = nullptr;  // layout key "FolderList"; entries parallel State.FolderList
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

    // The nine buttons in creation order, for what is done to all of them.
    TSelfSubClass* Buttons[9] = {};
};

// [MainSize] of the layout file: client sizes of the main window's two views.
struct TMainSize {
    int Width = 320;          // client width
    int NormalHeight = 90;    // client height of the normal view
    int ExtendedHeight = 294; // client height of the extended view
};

struct TControllerState {
    // --- Names derived from the program's own path, and the title (set by the start-up) ---
    std::string ProgramBase;    // module path up to, not including, its first "."
    std::string ProgramFolder;  // module folder without a trailing backslash
    std::string SettingsFile;   // ProgramBase + ".ini": options, written at exit
    std::string LanguageFile;   // ProgramBase + "Lang.ini": texts and accelerator letters
    std::string LayoutFile;     // ProgramBase + "Form.ini": window and control geometry
    // [Other] title of the language file: the main window's class name and caption, the caption
    // of the controller's message boxes, the tray tip, and the options section that is read.
    std::string AppTitle;
    // The section under which ReadLayout and the menu builders look up captions in LanguageFile.
    std::string CurrentSection;

    // --- The main window and what the message loop needs ---
    // The one main window object; the framework frees it at its WM_DESTROY.
    TSDIMainWindow* MainWindow = nullptr;
    // Handle of the main window, kept for code that runs after the object is gone.
    HWND MainWindowHandle = nullptr;
    // Accelerator table the message loop translates with; null switches translation off.
    HACCEL CurrentAccel = nullptr;
    TMainForm MainForm;
    TMainSize MainSize;

    // --- The text list: tip status texts, status messages, message-box texts, Show/Hide ---
    std::unique_ptr<TStringArray> TextList;
    int StatusBase = 0;    // StatusMessage k is TextList[StatusBase + k]
    int MessageBase = 0;   // message n of [MessageBox] is TextList[MessageBase + n]
    int ShowHideBase = 0;  // "Show(&C)" at ShowHideBase, "Hide(&C)" one further

    // --- What the main window holds ---
    // [0] the program's icon "ashow" (hook active), [1] the library's suspended icon,
    // [2] the library's eyedropper cursor.
    std::unique_ptr<TIntegerList> IconList;
    NOTIFYICONDATAA TrayIconData{};
    std::unique_ptr<TIntegerList> TipIdList;   // tool id of tip i at position i
    std::unique_ptr<TStringArray> FolderList;  // palette folders, in combo order
    std::unique_ptr<TAPICFont> MainFont;       // optional fonts (ReadFont)
    std::unique_ptr<TAPICFont> StatusFont;
    std::unique_ptr<TAPICFont> TipFont;
    int LeftClickAction = 1;                   // tray left click runs 300 + this
    // Shown over the about box's two web addresses: made once when the main window is built
    // (LoadLinkCursor) and kept for the run.
    HCURSOR LinkCursor = nullptr;

    // --- The palette library ---
    // Last folder put into FolderEdit or chosen in the browse dialog; ProgramFolder at start.
    std::string CurrentFolder;
    // Title of the folder picker: [ColorMenu] folder of the language file.
    std::string FolderBrowseTitle;
    // File name (with ".pli") of the palette in the colour buttons; empty when none.
    std::string CurrentPaletteFile;
    // Row of the current palette: -1 none, -2 the next fill selects PendingName. [List] Select.
    int CurrentRow = 0;
    // File name to select at the next fill while CurrentRow is -2.
    std::string PendingName;
    // The folder whose palettes the list shows (without a trailing backslash), set by every
    // fill. The file commands work in this folder: the text of FolderEdit can be typed over, and
    // a drop can list another folder, without the rows changing their folder.
    std::string ListedFolder;

    // --- The current palette ---
    // Entry i is shown by colour button i (0-7 top row, 8-15 bottom row).
    COLORREF PaletteColors[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                  0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                  0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};
    // The row whose label edit the list announced last (LVN_BEGINLABELEDIT); -1 when unknown.
    int EditRowNotified = -1;

    // --- The 32-bit companion (Companion.h) ---
    bool HookOn = false;                // the controller's own hook is installed
    HANDLE CompanionProcess = nullptr;  // the companion started at start-up; null when none
    DWORD CompanionId = 0;
    HANDLE CompanionWait = nullptr;     // the pool's wait on CompanionProcess
    HWND CompanionWindow = nullptr;     // its message-only window, known from its hello
};

inline TControllerState State;

// The main window's handle (State.MainWindowHandle): the owner of every box the controller
// shows and the target of its own messages.
HWND Window();
