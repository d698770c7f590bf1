// PaletteOps.h: palette file operations: the sixteen colours, loading, writing, the colour
// buttons' eyedropper and menu, and the list commands New, ReName, Delete and Duplicate.
//
// The main window creates the colour buttons (State.MainForm.Paletto) and routes commands
// 601-606 here. Files are read and written in the folder the palette list shows
// (State.ListedFolder). A write that fails is reported to the user and changes nothing: ReWrite
// stays enabled, a new row is not kept. Below the palette list, which calls these; uses only
// ControllerState, Feedback, the palette rules and the palette store. One GUI thread.
#pragma once

#include "Config.h"

#include <string>

#include "UtilClass.h"

class TVxrinkBtn;

// The palette list's click handler (also run by SelectItem and the list's navigation keys).
void LoadSelectedPalette();
// Reads the palette file into State.PaletteColors and the buttons; ReWrite is disabled in any case.
// False (colours unchanged) when the file cannot be read; `error` then says why.
bool ReadPalette(const std::string& path, DWORD* error = nullptr);
// Writes State.PaletteColors to the file; a failure is reported with a message box and answers false.
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
