// PaletteOps.h: palette file operations: the sixteen colours, loading, writing, the colour
// buttons' eyedropper and menu, and the list commands New, ReName, Delete and Duplicate.
//
// The main window creates the colour buttons (MainForm.Paletto, MainWindow.h) and routes
// commands 601-606 here. Files are read and written in the folder the palette list shows
// (ListedFolder, PaletteList.h). A write that fails is reported to the user and changes nothing:
// ReWrite stays enabled, a new row is not kept. One GUI thread.
#pragma once

#include "Config.h"

#include <string>

#include "UtilClass.h"

class TVxrinkBtn;

inline constexpr UINT kCmdListNew = 601;
inline constexpr UINT kCmdListReName = 602;
inline constexpr UINT kCmdListDelete = 603;
inline constexpr UINT kCmdColorEdit = 604;
inline constexpr UINT kCmdColorInit = 605;
inline constexpr UINT kCmdDuplicate = 606;

// The current palette: entry i is shown by colour button i (0-7 top row, 8-15 bottom row).
inline COLORREF PaletteColors[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                     0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                                     0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};

// The row whose label edit the list announced last (LVN_BEGINLABELEDIT); -1 when unknown.
inline int EditRowNotified = -1;

// The palette list's click handler (also run by SelectItem and the list's navigation keys).
void LoadSelectedPalette();
// Reads the palette file into PaletteColors and the buttons; ReWrite is disabled in any case.
// False (colours unchanged) when the file cannot be read.
bool ReadPalette(const std::string& path);
// Writes PaletteColors to the file; a failure is reported with a message box and answers false.
bool WritePalette(const std::string& path);
// ReWrite button / command 707. False when the write failed (ReWrite stays enabled).
bool RewritePalette();
// The ReWrite button's enabled state: the colours differ from the current palette file.
bool PaletteChanged();
void SetPaletteChanged(bool changed);
void FillAllColors(COLORREF colour);
void EditColor(int index);
// Commands 601, 602, 603 and 606 of the list menu and its accelerators (F2, Delete); any other
// id does nothing. `duplicate` is the marker of Duplicate (606): a new row that keeps the colours.
void ListCommand(UINT id, bool duplicate);
void BeginNameEdit();
void EndNameEdit();
bool IsValidPaletteName(const std::string& name);
// The colour menu of button `index` (right button released on it).
void ColorButtonMenu(int index);

// Sets colour button `index`'s callbacks (press, drag, release, right click). Called once per
// button by MainWindowCreate after the button exists with its eyedropper cursor and Tag = index.
void AttachColorButtonHandlers(TVxrinkBtn* button, int index);
