// PaletteStore.cpp: palette files read under a lock and written through a temporary file.
#include "PaletteStore.h"

#include <cstdio>

#include "PaletteFile.h"
#include "UtilFunc.h"

namespace {

class TFileHandle {
public:
    explicit TFileHandle(HANDLE handle) noexcept : handle_(handle) {}
    ~TFileHandle() { Close(); }
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;

    bool Valid() const noexcept { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
    HANDLE Get() const noexcept { return handle_; }
    // Closes now; a buffered write can still fail here, so the answer counts.
    bool Close() noexcept {
        const bool ok = Valid() && ::CloseHandle(handle_) != FALSE;
        handle_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE handle_;
};

// The temporary file's name is "~" and four hex digits: never longer than a palette file name
// (at least "x.pli"), so a palette path that fits MAX_PATH leaves room for it, and never a
// ".pli" name, so the list does not show it.
constexpr int kTempNameAttempts = 256;

DWORD CreateTempBeside(const std::string& folder, std::string& tempPath, HANDLE& handle) {
    unsigned seed = (::GetTickCount() ^ (::GetCurrentProcessId() << 4)) & 0xFFFFu;
    DWORD error = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < kTempNameAttempts; ++attempt) {
        char name[8] = {};
        std::snprintf(name, sizeof name, "~%04X", (seed + static_cast<unsigned>(attempt) * 40503u) & 0xFFFFu);
        tempPath = folder.empty() ? std::string(name) : folder + "\\" + name;
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

bool LoadPaletteColors(const std::string& path, pelmira::TPaletteColors& colors) {
    std::string text;
    if (ReadPaletteFile(path, text) != TPaletteReadResult::Ok) return false;
    colors = pelmira::ParsePaletteColors(text);
    return true;
}

DWORD SavePaletteColors(const std::string& path, const pelmira::TPaletteColors& colors) {
    return ReplaceFileText(path, pelmira::FormatPaletteText(colors));
}

DWORD ReplaceFileText(const std::string& path, const std::string& text) {
    // The file the palette replaces must be free and writable now: one open without sharing,
    // as every palette access makes, fails while a colour dialog reads it, and on a read-only
    // file. A missing file is simply new.
    std::string target = path;
    // Windows refuses to write a read-only file to anyone; asked directly, so that no file
    // system that lets a privileged user past the attribute can make a rewrite succeed.
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return ERROR_ACCESS_DENIED;
    {
        TFileHandle probe(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe.Valid()) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_FILE_NOT_FOUND) return error;
        } else {
            // Replace under the name the file has on disk, so that a rewrite never changes the
            // letter case of an existing palette's name.
            const std::string onDisk = FoundFileName(path);
            const std::string folder = DirectoryOf(path);
            if (!onDisk.empty()) target = folder.empty() ? onDisk : folder + "\\" + onDisk;
        }
    }

    std::string tempPath;
    HANDLE tempHandle = INVALID_HANDLE_VALUE;
    if (const DWORD error = CreateTempBeside(DirectoryOf(path), tempPath, tempHandle); error != 0) return error;
    TFileHandle file(tempHandle);

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
        !::MoveFileExA(tempPath.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = ::GetLastError();
    }
    if (error != 0) ::DeleteFileA(tempPath.c_str());
    return error;
}

std::string SystemErrorText(DWORD code) {
    char* buffer = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = length != 0 && buffer != nullptr ? std::string(buffer, length) : std::string();
    if (buffer != nullptr) ::LocalFree(buffer);
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    if (text.empty()) text = "Error " + std::to_string(code);
    return text;
}
