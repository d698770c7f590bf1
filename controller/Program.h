// Program.h: process-wide state of the controller (vorlund.exe).
//
// Everything here is created by the start-up sequence (Startup.cpp) before the main window
// exists and lives until the process ends; the main window's code reads and extends it.
// One GUI thread: nothing here is locked.
#pragma once

#include "Config.h"

#include <cstdint>
#include <memory>
#include <string>

#include "BlockAccess.h"
#include "SharedBlock.h"
#include "UtilClass.h"

class TSDIMainWindow;

// ---------------------------------------------------------------------------------------------
// The hook library "skerrow.dll" and the eight exports the controller binds by name.
// ---------------------------------------------------------------------------------------------

using TGetFMObj = int32_t(WINAPI*)(HANDLE* section, void** view);  // 0, -1 no section, -2 no view
using TReleaseFMObj = void(WINAPI*)(HANDLE section, void* view);
using TSetHook = uint8_t(WINAPI*)(HWND controller);                 // 1 installed, 0 failed
using TRemoveHook = void(WINAPI*)();
using TChkDialog = uint8_t(WINAPI*)();                               // dialogs taken over; 255 probe
using TBtnTestProc = void(WINAPI*)(HWND owner);
using TAllwaysOnTop = int32_t(WINAPI*)(HWND window, uint8_t flag);
using TGetResHandle = HANDLE(WINAPI*)(UINT selector);                // low byte: 0, 1 or 10

inline HMODULE HookLibrary = nullptr;
inline TGetFMObj GetFMObj = nullptr;
inline TReleaseFMObj ReleaseFMObj = nullptr;
inline TSetHook SetHook = nullptr;
inline TRemoveHook RemoveHook = nullptr;
inline TChkDialog ChkDialog = nullptr;
inline TBtnTestProc BtnTestProc = nullptr;
inline TAllwaysOnTop AllwaysOnTop = nullptr;
inline TGetResHandle GetResHandle = nullptr;

// One operation on the library's shared block through the bound exports: GetFMObj on
// construction, ReleaseFMObj on destruction. Nothing keeps the block mapped between operations;
// before the library is bound there is no block.
class TLibraryBlock : public TBlockAccess {
public:
    TLibraryBlock() noexcept : TBlockAccess(GetFMObj, ReleaseFMObj) {}
};

// ---------------------------------------------------------------------------------------------
// Names derived from the program's own path, and the title.
// ---------------------------------------------------------------------------------------------

inline std::string ProgramBase;    // module path up to, not including, its first "."
inline std::string ProgramFolder;  // module folder without a trailing backslash
inline std::string SettingsFile;   // ProgramBase + ".ini": options, written at exit
inline std::string LanguageFile;   // ProgramBase + "Lang.ini": texts and accelerator letters
inline std::string LayoutFile;     // ProgramBase + "Form.ini": window and control geometry

// [Other] title of the language file: the main window's class name and caption, the caption
// of the controller's message boxes, the tray tip, and the options section that is read.
inline std::string AppTitle;

// The section under which ReadLayout and the menu builders look up captions in LanguageFile.
inline std::string CurrentSection;

// ---------------------------------------------------------------------------------------------
// The main window and what the message loop needs.
// ---------------------------------------------------------------------------------------------

// The one main window object; the framework frees it at its WM_DESTROY.
inline TSDIMainWindow* MainWindow = nullptr;
// Handle of the main window, kept for code that runs after the object is gone.
inline HWND MainWindowHandle = nullptr;
// Accelerator table the message loop translates with; null switches translation off.
inline HACCEL CurrentAccel = nullptr;

// ---------------------------------------------------------------------------------------------
// The text list: tip status texts, status messages, message-box texts, Show/Hide.
// ---------------------------------------------------------------------------------------------

inline std::unique_ptr<TStringArray> TextList;
inline int StatusBase = 0;    // StatusMessage k is TextList[StatusBase + k]
inline int MessageBase = 0;   // message n of [MessageBox] is TextList[MessageBase + n]
inline int ShowHideBase = 0;  // "Show(&C)" at ShowHideBase, "Hide(&C)" one further

// TextList entry, or "index error" when the list does not exist or the index is outside it.
std::string TextAt(int index);
inline std::string StatusText(int k) { return TextAt(StatusBase + k); }
inline std::string MessageText(int n) { return TextAt(MessageBase + n); }
