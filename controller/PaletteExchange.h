// PaletteExchange.h: other tools' palettes in the controller: a palette file dropped on the
// palette list or the colour buttons is imported into the listed folder as ".pli" files, and
// "Export..." saves the current sixteen colours in the format chosen in the save box. Names pass
// the same checks and clash questions as a new palette; every file is written through the
// temporary-file writer, so a failed write leaves no partial file. One GUI thread.
#pragma once

#include "Config.h"

#include <string>
#include <vector>

#include "PaletteFormats.h"
#include "PaletteText.h"
#include "Settings.h"
#include "UtilClass.h"

inline constexpr UINT kCmdExport = 607;  // "Export..." in the list menu and the colour menu
// Read under "ListMenu" for both menus, like Duplicate's text.
inline constexpr TTextKey kExportMenuText{"ListMenu", "Export", "&Export..."};

// One palette file an import makes: its name (without ".pli") and its sixteen colours.
struct TImportPart {
    std::string Name;
    pelmira::TPaletteColors Colors{};
};

// Up to sixteen colours give one palette named `baseName` (missing cells white); more give
// "baseName 1", "baseName 2", ... with sixteen colours each, the last filled up with white.
// An empty palette gives one all-white palette.
std::vector<TImportPart> SplitForImport(const std::string& baseName, const pelmira::formats::TPalette& colors);

// Imports every file in `paths` into the listed folder and lists the folder again.
void ImportPaletteFiles(const std::vector<std::string>& paths);

// The save box of "Export...", then the write; failures are reported with a message box.
void ExportCurrentPalette();

// Drops on the palette list.
void PaletteFilesDropped(TMessageRecord* message) noexcept;
// Drops on the main window: imported when the pointer is over a colour button.
void ColorButtonsDropped(TMessageRecord* message) noexcept;
