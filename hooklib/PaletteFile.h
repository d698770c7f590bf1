// PaletteFile.h: reading and writing one palette file, each in one short operation on the
// calling thread. Reading checks everything before the caller changes anything; writing goes
// through a temporary file in the target's folder, so a failed save never damages the palette
// that was there.
#pragma once

#include "Config.h"

#include <string>

enum class TPaletteReadResult {
    Ok,
    CannotOpen,  // missing, a folder, or held open by someone else (no sharing)
    TooLarge,    // above kMaxPaletteFileSize: refused without reading
    Locked,      // LockFile refused (a lock held elsewhere)
    ReadFailed,  // the read stopped short
};

// Opens the file without sharing, locks it whole, reads it whole, unlocks and closes it.
TPaletteReadResult ReadPaletteFile(const std::string& path, std::string& text);

// Writes `text` to a temporary file beside `path`, then replaces `path` with it. Answers false
// (and leaves `path` as it was) when any step fails.
bool WritePaletteFile(const std::string& path, const std::string& text);
