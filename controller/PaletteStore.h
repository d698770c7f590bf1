// PaletteStore.h: the controller's palette files on disk: one whole read under a lock, one
// whole write that replaces the file only once the new text is safely beside it. Each call is one
// short operation on the calling (GUI) thread; no handle outlives it.
#pragma once

#include "Config.h"

#include <string>

#include "PaletteText.h"

// Reads the palette at `path` into `colors`; lines may end in CR LF or in LF alone. False, with `colors` untouched, when the file is
// missing, held open elsewhere, locked, larger than a palette can be, or unreadable; `error`
// (when given) then receives the system error code that says which.
bool LoadPaletteColors(const std::string& path, pelmira::TPaletteColors& colors, DWORD* error = nullptr);

// Writes the sixteen colours as a palette file; answers 0 or the system error code.
DWORD SavePaletteColors(const std::string& path, const pelmira::TPaletteColors& colors);

// Creates a new palette file with the sixteen colours; answers 0 or the system error code.
// The file is made only if no file or folder answers to `path` at the moment of the write (its
// short alias included): ERROR_FILE_EXISTS then, and nothing on disk changes. A write that
// fails halfway removes the new file again.
DWORD CreatePaletteFile(const std::string& path, const pelmira::TPaletteColors& colors);

// Replaces the contents of `path` with `text`; answers 0 or the system error code.
// Nobody may hold the file open at that moment (it is opened once without sharing, as every
// palette access is) and it must be writable. The text goes to a new file in the same folder
// first and takes the palette's place only when it was written completely, so a failure (disk
// full, file in use, read-only file or folder) leaves the old palette as it was.
DWORD ReplaceFileText(const std::string& path, const std::string& text);

// The modification date of the file as the palette list shows it (FormatFileDate); empty when
// the file cannot be reached.
std::string FileDateText(const std::string& path);

// The system's wording for an error code, without the trailing line break.
std::string SystemErrorText(DWORD code);
