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

// Owns one file handle for the length of a function; both the hook library and the controller
// open palette files through it.
class TFileHandle {
public:
    explicit TFileHandle(HANDLE handle) noexcept : handle_(handle) {}
    ~TFileHandle() { Close(); }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    bool Valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const noexcept { return handle_; }
    // Closes now and answers whether the close succeeded (a buffered write can fail here).
    bool Close() noexcept {
        const bool ok = Valid() && ::CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE handle_;
};

// Writes `text` to a temporary file beside `path`, then replaces `path` with it. Answers 0, or
// the system error code of the step that failed; on failure `path` is left as it was and the
// temporary file is gone.
DWORD WritePaletteFileText(const std::string& path, const std::string& text);

// WritePaletteFileText answering only whether it succeeded.
bool WritePaletteFile(const std::string& path, const std::string& text);
