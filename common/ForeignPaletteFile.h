// ForeignPaletteFile.h: palette files of any known format (other tools' and ".pli") read from
// and written to disk, for the controller's import, export and converter and the colour dialog's
// load and save. The bytes are interpreted by pelmira_formats; this unit only moves them, on the
// calling thread, with the size refused before anything is read and every write going through
// the temporary-file writer, so a failed write leaves no partial file.
#pragma once

#include <string>

#include "PaletteFormats.h"

namespace pelmira {

// Reads and recognises the file. When !Ok, Error names the file and says what is wrong
// ("C:\x.ase: ASE: swatch 3: length past end of file", "C:\x.gpl: cannot be opened").
formats::TReadResult ReadForeignPaletteFile(const std::string& path);

// The format a file written at `path` gets from its extension: ".pal" writes JASC text (the
// form other tools read most widely); Unknown when the extension names no writable format.
formats::TFormat WriteFormatForPath(const std::string& path);

// Writes `colors` in `format` at `path` (replacing a file that is there). Answers "" or why it
// failed, naming the file; on failure `path` is left as it was.
std::string WriteForeignPaletteFile(const std::string& path, formats::TFormat format,
                                    const formats::TPalette& colors);

}  // namespace pelmira
