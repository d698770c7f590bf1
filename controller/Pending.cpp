// Pending.cpp: stand-ins for palette-library and palette-file functions that are not written
// yet, so the controller links and runs. Each does nothing (or answers the neutral value).
// Whoever writes one of these removes its stand-in here in the same commit.
#include "PaletteList.h"
#include "PaletteOps.h"

#include "MainWindow.h"

std::string GetPaletteFolder() { return ""; }
void PublishPaletteFolder() {}
void RefreshPaletteList(const std::string&) {}
bool FolderUsable(const std::string&) { return false; }
std::string FileDateText(const std::string&) { return ""; }
void AddFolder(const std::string&) {}
void FolderSelected() {}
void BrowseFolder() {}
void RemoveFolder() {}
void FolderCheckChanged() {}
void DropOnFolderList(const std::vector<std::string>&) {}
// Until the palette list is written: the size and the list's visibility only.
void ApplyExtendedView() { ApplyViewSize(); }
void AttachPaletteListHandlers(TAPIListView*) {}
void PaletteListKeyUp(TMessageRecord*) {}

void LoadSelectedPalette() {}
bool ReadPalette(const std::string&) { return false; }
bool WritePalette(const std::string&) { return false; }
void RewritePalette() {}
void FillAllColors(COLORREF) {}
void EditColor(int) {}
void ListCommand(UINT, bool) {}
void BeginNameEdit() {}
void EndNameEdit() {}
void ColorButtonMenu(int) {}
void AttachColorButtonHandlers(TVxrinkBtn*, int) {}
