// PaletteFile.cpp: whole-file read under a lock, and replace-on-success write.
#include "PaletteFile.h"

#include "PaletteText.h"

namespace {

// The folder part of a path including its last backslash, or "" for a bare name (current folder).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The temporary file's name is "~" and four hex digits: never longer than a palette file name
// (at least "x.pli"), so a palette path that fits MAX_PATH leaves room for it, and never a
// ".pli" name, so no palette list shows it.
constexpr int kTempNameAttempts = 256;

// Creates a new, empty temporary file in `folder` (which ends in a separator or is empty) and
// hands back its path and open handle; answers 0 or the system error code.
DWORD CreateTempBeside(const std::string& folder, std::string& tempPath, HANDLE& handle) {
    const unsigned seed = (::GetTickCount() ^ (::GetCurrentProcessId() << 4)) & 0xFFFFu;
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        const unsigned number = (seed + static_cast<unsigned>(attempt) * 40503u) & 0xFFFFu;
        char name[6] = {'~'};
        for (int digit = 0; digit < 4; ++digit) {
            name[4 - digit] = "0123456789ABCDEF"[(number >> (4 * digit)) & 0xFu];
        }
        tempPath = folder + name;
        handle = ::CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        if (handle != INVALID_HANDLE_VALUE) return 0;
        error = ::GetLastError();
        // Only a name collision is worth another name; anything else (no folder, no right to
        // create files there, disk full) fails every name alike.
        if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) return error;
    }
    return error;
}

}  // namespace

TPaletteReadResult ReadPaletteFile(const std::string& path, std::string& text) {
    TScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) return TPaletteReadResult::CannotOpen;

    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) return TPaletteReadResult::ReadFailed;
    if (size.QuadPart > static_cast<LONGLONG>(pelmira::kMaxPaletteFileSize))
        return TPaletteReadResult::TooLarge;
    const DWORD length = static_cast<DWORD>(size.QuadPart);

    // A zero-length range cannot be locked; an empty file has nothing to protect anyway.
    if (length > 0 && !::LockFile(file.Get(), 0, 0, length, 0)) return TPaletteReadResult::Locked;

    std::string buffer(length, '\0');
    DWORD read = 0;
    const bool ok = length == 0 ||
                    (::ReadFile(file.Get(), buffer.data(), length, &read, nullptr) && read == length);
    if (length > 0) ::UnlockFile(file.Get(), 0, 0, length, 0);
    if (!ok) return TPaletteReadResult::ReadFailed;
    text = std::move(buffer);
    return TPaletteReadResult::Ok;
}

DWORD WritePaletteFileText(const std::string& path, const std::string& text) {
    std::string tempPath;
    HANDLE tempHandle = INVALID_HANDLE_VALUE;
    if (const DWORD error = CreateTempBeside(FolderOf(path), tempPath, tempHandle); error != 0) return error;
    TScopedHandle file(tempHandle);

    DWORD error = 0;
    DWORD written = 0;
    if (!::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        !::FlushFileBuffers(file.Get())) {
        error = ::GetLastError();
    } else if (written != text.size()) {
        error = ERROR_HANDLE_DISK_FULL;
    }
    if (!file.Close() && error == 0) error = ::GetLastError();
    if (error == 0 &&
        !::MoveFileExA(tempPath.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = ::GetLastError();
    }
    if (error != 0) ::DeleteFileA(tempPath.c_str());
    return error;
}

bool WritePaletteFile(const std::string& path, const std::string& text) {
    return WritePaletteFileText(path, text) == 0;
}
