// PaletteFile.h: reading and writing one palette file, each in one short operation on the
// calling thread. Reading checks everything before the caller changes anything; writing goes
// through a temporary file in the target's folder, so a failed save never damages the palette
// that was there.
#pragma once

#include "Config.h"
#include "ScopedHandles.h"

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

// The file handles that palette code (here and in the controller) owns for one function.
using TFileHandle = TScopedHandle;

// Writes `text` to a temporary file beside `path`, then replaces `path` with it. Answers 0, or
// the system error code of the step that failed; on failure `path` is left as it was and the
// temporary file is gone.
DWORD WritePaletteFileText(const std::string& path, const std::string& text);

// WritePaletteFileText answering only whether it succeeded.
bool WritePaletteFile(const std::string& path, const std::string& text);
