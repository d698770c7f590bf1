// PaletteText.h: the ".pli" palette text, split and formatted without any window or file.
// A palette file is sixteen lines "k=red,green,blue" CR LF; line k belongs to custom cell k
// (0-7 the top row, 8-15 the bottom row). The dialog loader and the controller share these.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pelmira {

inline constexpr int kPaletteEntries = 16;

// A palette file larger than this is refused unread: a real palette is about 250 bytes,
// and a hooked process must not be made to allocate whatever a file claims.
inline constexpr std::size_t kMaxPaletteFileSize = 64 * 1024;

// One line as the loader reads it: the texts exactly as they stand in the file, so the
// colour dialog's own boxes decide what an empty or odd value means.
struct TPaletteEntry {
    std::string Index;
    std::string Red;
    std::string Green;
    std::string Blue;
};

using TPaletteEntries = std::array<TPaletteEntry, kPaletteEntries>;
using TPaletteColors = std::array<std::uint32_t, kPaletteEntries>;  // COLORREF values

// Splits the text into sixteen entries. Lines are taken in file order; a line is the text up
// to and including its LF, and text without a further LF gives empty entries from there on.
// In a line the index runs up to "=", red up to ",", green up to the next ",", blue up to CR
// (up to the LF in a line without CR);
// each separator is removed with its field, and a missing separator gives an empty field and
// removes nothing. Lines of any length are handled (no position is truncated).
TPaletteEntries SplitPaletteText(std::string_view text);

// A field read as a colour component: its leading decimal digits taken modulo 256, so an
// empty field or one without leading digits is 0.
std::uint8_t ComponentFromText(std::string_view field);

// The sixteen colours of a palette text, RGB(red mod 256, green mod 256, blue mod 256).
TPaletteColors ParsePaletteColors(std::string_view text);

// "R,G,B\r\n": R = bits 0-7, G = bits 8-15, B = the colour shifted right by 16 (all bits
// above 15, so the invalid colour 0xFFFFFFFF gives "255,255,65535\r\n").
std::string MakeColorText(std::uint32_t color);

// Line k of a palette file: k, "=", then MakeColorText of the colour.
std::string MakePaletteLine(int index, std::uint32_t color);

// The whole file text: lines 0 to 15 in order, each ended by CR LF.
std::string FormatPaletteText(const TPaletteColors& colors);

// The file name to save to: the chosen path with ".pli" appended when it has no "."
// anywhere (a folder with a "." in its name therefore keeps the name as typed).
std::string PaletteSavePath(std::string_view chosenPath);

// True when the path's extension (after its last ".") is "pli" in any case.
bool HasPaletteExtension(std::string_view path);

// The open and save boxes' filter from the "FileFilter_hook" values read in order up to the
// first "." (the caller stops reading there): each value followed by NUL, every "|" turned
// into NUL, one more NUL at the end; the built-in filter when no value was given.
std::string BuildPaletteFilter(std::span<const std::string> entries);

}  // namespace pelmira
