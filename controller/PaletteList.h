// PaletteList.h: the palette library list: the folder row (check box, folder combo, FolderEdit,
// New and Delete), the palette folder published to the hook library, and the palette list.
//
// The main window creates the controls (MainForm, MainWindow.h) and calls these; the palette
// file operations (PaletteOps.h) act on the folder the list shows. One GUI thread.
#pragma once

#include "Config.h"

#include <string>
#include <vector>

#include "UtilClass.h"

class TAPIListView;

// Last folder put into FolderEdit or chosen in the browse dialog; ProgramFolder at start.
inline std::string CurrentFolder;
// Title of the folder picker: [ColorMenu] folder of the language file.
inline std::string FolderBrowseTitle;
// File name (with ".pli") of the palette in the colour buttons; empty when none.
inline std::string CurrentPaletteFile;
// Row of the current palette: -1 none, -2 the next fill selects PendingName. [List] Select.
inline int CurrentRow = 0;
// File name to select at the next fill while CurrentRow is -2.
inline std::string PendingName;
// The folder whose palettes the list shows (without a trailing backslash), set by every fill.
// The file commands work in this folder: the text of FolderEdit can be typed over, and a drop
// can list another folder, without the rows changing their folder.
inline std::string ListedFolder;

std::string GetPaletteFolder();
void PublishPaletteFolder();
void RefreshPaletteList(const std::string& folder);
bool FolderUsable(const std::string& path);
std::string FileDateText(const std::string& path);
void AddFolder(const std::string& path);
// The folder combo's selection change, from the user or the program.
void FolderSelected();
// New button / command 400.
void BrowseFolder();
// Delete button / command 401.
void RemoveFolder();
// FolderCheck click; command 402 toggles the box first.
void FolderCheckChanged();
// Files or folders dropped on the folder combo, in drop order.
void DropOnFolderList(const std::vector<std::string>& paths);
// Extension button; command 403 toggles the button first. Sizes the window from MainSize.
void ApplyExtendedView();

// Sets the palette list's notification callbacks (click, column click, label edits). Called
// once by MainWindowCreate right after the list and its columns exist.
void AttachPaletteListHandlers(TAPIListView* list);
// WM_KEYUP trapped on the palette list's window (Msg = WM_KEYUP, WParam = the key).
void PaletteListKeyUp(TMessageRecord* message);
// The palette list's column click (a TColumnClickBlock): ends a running name edit instead of
// sorting; otherwise sorts and keeps CurrentRow on the current palette.
void PaletteListColumnClick(TMessageRecord* message);
