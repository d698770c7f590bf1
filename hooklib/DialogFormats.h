// DialogFormats.h: other tools' palette formats in the taken-over dialog: the open and save
// boxes' filters and a foreign file turned into the ".pli" text the load types in. Plain code
// without windows of its own, run on the dialog's thread.
#pragma once

#include <cstddef>
#include <string>

#include "PaletteText.h"

// The open box's filter: "All palettes" with every readable extension first, then the first
// pair of `paletteFilter` (Pelmira's own files), one pair per other readable extension, and the
// rest of `paletteFilter` (e.g. "All files"). Filters are NUL-separated pairs ended by one more NUL.
std::string LoadFilter(const std::string& paletteFilter, const std::string& allPalettesText);

// The save box's filter: `paletteFilter`'s first pair, one pair per writable extension of the
// other formats, then the rest of `paletteFilter`.
std::string SaveFilter(const std::string& paletteFilter);

// True when the load reads the file at `path`: a ".pli" or an extension of another known format
// (".pal" included).
bool IsLoadablePath(const std::string& path);

// True when the path names another tool's format (anything loadable but ".pli").
bool IsForeignPalettePath(const std::string& path);

struct TForeignLoad {
    bool Ok = false;
    std::string PaletteText;     // ".pli" text of the first sixteen colours, missing ones white
    std::size_t ColorCount = 0;  // how many colours the file held
    std::string Error;
};

// Reads another tool's palette file for the load.
TForeignLoad LoadForeignPalette(const std::string& path);

// The status text after a load of a file that held more than sixteen colours: `pattern` with
// "%1" replaced by the file name and "%2" by the count.
std::string MoreColorsText(const std::string& pattern, const std::string& fileName, std::size_t count);

// Writes sixteen colours (COLORREF values) at `path` in the format its extension names.
// Answers "" or why it failed.
std::string SaveForeignPalette(const std::string& path, const pelmira::TPaletteColors& colors);
