// PaletteFile.cpp: whole-file read under a lock, and replace-on-success write.
#include "PaletteFile.h"

#include "PaletteText.h"

namespace {

class TFileHandle {
public:
    explicit TFileHandle(HANDLE handle) noexcept : handle_(handle) {}
    ~TFileHandle() {
        if (Valid()) ::CloseHandle(handle_);
    }
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

// The folder part of a path including its last backslash, or "" for a bare name (current folder).
std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

TPaletteReadResult ReadPaletteFile(const std::string& path, std::string& text) {
    TFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
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

bool WritePaletteFile(const std::string& path, const std::string& text) {
    std::string folder = FolderOf(path);
    char temp[MAX_PATH + 1] = {};
    // GetTempFileNameA creates the (empty) file, so the name is ours until we remove it.
    if (::GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "pli", 0, temp) == 0) return false;

    bool written = false;
    {
        TFileHandle file(::CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.Valid()) {
            DWORD done = 0;
            written = ::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &done,
                                  nullptr) &&
                      done == text.size() && ::FlushFileBuffers(file.Get());
            written = file.Close() && written;
        }
    }
    if (written &&
        ::MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    ::DeleteFileA(temp);
    return false;
}
