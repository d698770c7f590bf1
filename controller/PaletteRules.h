// PaletteRules.h: the palette library's rules as plain functions: which names a palette file may
// have, how folders and file names are joined and tidied, how a file date is shown, which row a
// name is. No window and no file handle is touched here; the list and the commands call these.
#pragma once

#include "Config.h"

#include <string>
#include <vector>

// ---------------------------------------------------------------------------------------------
// Palette names
// ---------------------------------------------------------------------------------------------

inline constexpr const char* kPaletteExtension = ".pli";

// A name of this many characters or more is refused outright.
inline constexpr std::size_t kMaxPaletteNameLength = 250;

// Answers whether a byte opens a double-byte character in the code page the name is written in.
using TLeadBytePredicate = bool (*)(unsigned char);

// The characters a palette name may not contain, in any code page: the eleven that file names
// or the palette format cannot carry.
inline constexpr const char* kForbiddenNameCharacters = "\\/:,;*?\"<>|";

// True when `name` + ".pli" can be a palette file:
// - after every double-byte character (lead byte and the byte after it) is dropped, none of the
//   eleven forbidden characters is left (a Shift-JIS trail byte may be the code of "\");
// - the name does not end in a dot or a blank, which Windows strips from file names, so the file
//   would not get the name the row shows;
// - the name before its first dot is not a device name Windows reserves (CON, PRN, AUX, NUL,
//   COM1-COM9, LPT1-LPT9, in any case, also with blanks before the dot): such a "file" is the
//   device, and writing the palette would write to it.
bool IsValidPaletteName(const std::string& name, TLeadBytePredicate isLeadByte);
// The same with the system code page (IsDBCSLeadByte).
bool IsValidPaletteName(const std::string& name);

// True when the name part before its first dot (trailing blanks ignored) is a reserved device
// name in any case.
bool IsReservedDeviceName(const std::string& name);

// The list row text of a palette file: the file name less its last four characters (".pli");
// empty for a name of four characters or fewer, which the list skips.
std::string RowTextOf(const std::string& fileName);

// ---------------------------------------------------------------------------------------------
// Folders and paths
// ---------------------------------------------------------------------------------------------

// folder + "\" + name, with one trailing backslash of the folder removed first (D:\ + a gives
// D:\a, D:\Pal + a gives D:\Pal\a).
std::string JoinPath(const std::string& folder, const std::string& name);

// True when a path of this many characters cannot be opened through the ANSI file functions
// (MAX_PATH counts the terminating NUL).
bool PathTooLong(const std::string& path);

// The folder as the folder list keeps it: a trailing backslash is dropped unless it follows a
// drive colon, a bare drive gets its backslash (D: gives D:\), trailing blanks are removed.
std::string TidyFolderPath(const std::string& path);

// The folder with one trailing backslash removed (the list's fill takes D:\ as D:).
std::string WithoutTrailingBackslash(const std::string& folder);

// The folder with a backslash removed when it directly follows a drive colon (D:\ gives D:);
// other folders unchanged.
std::string WithoutRootBackslash(const std::string& folder);

// ---------------------------------------------------------------------------------------------
// Dates and rows
// ---------------------------------------------------------------------------------------------

// "2003/02/12 09:05:07": year, month, day, hour, minute, second with fixed widths, so that texts
// of this form sort chronologically as text.
std::string FormatFileDate(const SYSTEMTIME& time);

// The row whose text is `currentFile` less its ".pli", -1 when none is (or no file is current).
int RowOfFile(const std::vector<std::string>& rowTexts, const std::string& currentFile);

// Upper-cased with the system's rules (CharUpperA), as the folder listings compare names.
std::string UpperText(const std::string& text);
