// About.h: the about box (command 321, Ctrl+A) and the help command (504).
//
// The about box is a modal dialog owned by the main window. Its controls are created when it
// opens and sized from the texts they show, measured in its own font, so the box follows the
// font and the texts. While it is open a second About command only gives it the focus.
// One GUI thread: nothing here is locked.
#pragma once

#include "Config.h"

#include <string>

#include "../resources/Version.h"

// ---------------------------------------------------------------------------------------------
// The texts of the box
// ---------------------------------------------------------------------------------------------

inline constexpr const char* kAboutCaption = "about..";
inline constexpr const char* kAboutOkCaption = "&OK";
inline constexpr const char* kAboutProductLine = "Pelmira 2003.02.12(Wed)";
// The second line of label 1, which is only as wide as the first line: keep it as short.
inline constexpr const char* kAboutCopyrightLine = "Version " PELMIRA_VERSION_TEXT " (c) 2026";
inline constexpr const char* kAboutHomePage = "https://www.pelmira.example.org/";
inline constexpr const char* kAboutCreditLine = "Window framework: Pelmira";
inline constexpr const char* kAboutFrameworkPage = "https://lib.pelmira.example.org/";

// The results the box closes with.
inline constexpr INT_PTR kAboutClosedByOk = 1;
inline constexpr INT_PTR kAboutCancelled = 100;  // Esc or the close box

// The help file, shipped beside the program.
inline constexpr const char* kHelpFileName = "brisanne.chm";

// ---------------------------------------------------------------------------------------------
// Commands
// ---------------------------------------------------------------------------------------------

// Command 321: opens the box and returns when it is closed, with the result it closed with;
// when the box is open already, gives it the focus and returns 0 at once.
INT_PTR ShowAbout();
// Command 504: opens the help file beside the program with the shell. The result is not
// examined: a missing file or viewer shows the system's own message, if any.
void OpenHelp();

// The Suspend command's hook: while the box is open, draws the icon of the hook state
// (IconList entry 1 when suspended, entry 0 when active) and repaints the box. Does nothing
// when the box is closed.
void UpdateAboutIcon(bool suspended);

// True from the moment ShowAbout starts the box until the box's WM_DESTROY.
bool AboutIsOpen();
// The open box's window, or null.
HWND AboutWindow();

// ---------------------------------------------------------------------------------------------
// The link cursor
// ---------------------------------------------------------------------------------------------

// Builds State.LinkCursor, shown over the two web addresses of the box: a copy of cursor 106 of
// the help viewer "\winhlp32.exe" in the Windows folder; when that module or its cursor is
// missing, the system's hand cursor, and failing that the arrow.
void LoadLinkCursor();
// Destroys the copy LoadLinkCursor made (the system's shared cursors are left alone).
void FreeLinkCursor();

// ---------------------------------------------------------------------------------------------
// Parts exposed for testing
// ---------------------------------------------------------------------------------------------

// Cursor 106 of the module at `path` as an owned copy, or null when the module cannot be
// loaded or has no such cursor. The module is freed again before returning.
HCURSOR CopyModuleCursor(const std::string& path, int resourceId);

// The size a control needs for `text` in `font` on the screen: the text's extent including
// its terminating zero, plus one average character's width and half a line's height.
SIZE MeasureText(const std::string& text, HFONT font);

// The full path of the help file beside the program.
std::string HelpFilePath();
