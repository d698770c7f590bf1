// PaletteList.h: the palette library list: the folder row (check box, folder combo, FolderEdit,
// New and Delete), the palette folder published to the hook library, and the palette list.
//
// The main window creates the controls (State.MainForm) and calls these; the palette file
// operations (PaletteOps.h, one layer below) act on the folder the list shows. One GUI thread.
#pragma once

#include "Config.h"

#include <string>
#include <vector>

#include "UtilClass.h"

class TAPIListView;

std::string GetPaletteFolder();
void PublishPaletteFolder();
void RefreshPaletteList(const std::string& folder);
bool FolderUsable(const std::string& path);
// The full path of an existing folder (a drive root with its backslash) for what was typed,
// dropped or given; empty for anything else: an empty or relative-to-nothing text, a wildcard,
// a file, a folder that does not exist.
std::string ExistingFolderPath(const std::string& path);
// Lists the folder (on top, selected) unless it is listed already; false, and nothing listed,
// when the path names no existing folder.
bool AddFolder(const std::string& path);
// The folder combo's selection change, from the user or the program.
void FolderSelected();
// New button / command 400.
void BrowseFolder();
// Delete button / command 401.
void RemoveFolder();
// FolderCheck click; command 402 toggles the box first.
void FolderCheckChanged();
// The folder combo, FolderEdit, New and Delete follow the folder check box.
void EnableFolderControls(bool on);
// Files or folders dropped on the folder combo, in drop order.
void DropOnFolderList(const std::vector<std::string>& paths);
// Extension button; command 403 toggles the button first. Sizes the window from MainSize.
void ApplyExtendedView();
// The window's size for the view the Extension button shows: client width MainSize.Width, the
// extended height with the list shown, or the normal height with the list hidden.
void ApplyViewSize();

// Sets the palette list's notification callbacks (click, column click, label edits). Called
// once by MainWindowCreate right after the list and its columns exist.
void AttachPaletteListHandlers(TAPIListView* list);
// WM_KEYUP trapped on the palette list's window (Msg = WM_KEYUP, WParam = the key).
void PaletteListKeyUp(TMessageRecord* message);
// The palette list's column click (a TColumnClickBlock): ends a running name edit instead of
// sorting; otherwise sorts and keeps CurrentRow on the current palette.
void PaletteListColumnClick(TMessageRecord* message);
