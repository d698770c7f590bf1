// PaletteStore.cpp: the controller's palette files on disk. The file mechanics (read under a
// lock, write through a temporary file) are the hook library's PaletteFile; this layer adds the
// controller's checks before a rewrite and its error wording.
#include "PaletteStore.h"

#include "PaletteFile.h"
#include "PaletteRules.h"
#include "UtilFunc.h"

namespace {

// The reader answers what went wrong in its own terms; the user is told in the system's.
DWORD ReadErrorCode(TPaletteReadResult result, const std::string& path) {
    switch (result) {
    case TPaletteReadResult::Ok: return 0;
    case TPaletteReadResult::TooLarge: return ERROR_FILE_TOO_LARGE;
    case TPaletteReadResult::Locked: return ERROR_LOCK_VIOLATION;
    case TPaletteReadResult::ReadFailed: return ERROR_READ_FAULT;
    case TPaletteReadResult::CannotOpen: break;
    }
    // The open failed: gone, a folder of that name, or held open by someone else.
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ERROR_FILE_NOT_FOUND;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) return ERROR_ACCESS_DENIED;
    return ERROR_SHARING_VIOLATION;
}

}  // namespace

bool LoadPaletteColors(const std::string& path, pelmira::TPaletteColors& colors, DWORD* error) {
    std::string text;
    const TPaletteReadResult result = ReadPaletteFile(path, text);
    if (error != nullptr) *error = ReadErrorCode(result, path);
    if (result != TPaletteReadResult::Ok) return false;
    // Many editors end lines with LF alone; read as the format splits lines, every blue would
    // be lost. A line end is a line end: LF alone counts as CR LF, and CR LF reads as before.
    std::string lines;
    lines.reserve(text.size() + pelmira::kPaletteEntries);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) lines += '\r';
        lines += text[i];
    }
    colors = pelmira::ParsePaletteColors(lines);
    return true;
}

DWORD CreatePaletteFile(const std::string& path, const pelmira::TPaletteColors& colors) {
    // CREATE_NEW is the file system's own test-and-create: no listing taken earlier can see a
    // file that appeared since, nor a name that is another file's 8.3 alias.
    TFileHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                   nullptr));
    if (!file.Valid()) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_ALREADY_EXISTS || ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
            return ERROR_FILE_EXISTS;
        return error;
    }
    const std::string text = pelmira::FormatPaletteText(colors);
    DWORD written = 0;
    DWORD error = 0;
    if (!::WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) ||
        !::FlushFileBuffers(file.Get()))
        error = ::GetLastError();
    else if (written != text.size())
        error = ERROR_HANDLE_DISK_FULL;
    if (!file.Close() && error == 0) error = ::GetLastError();
    if (error != 0) ::DeleteFileA(path.c_str());
    return error;
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

    return WritePaletteFileText(target, text);
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

std::string FileDateText(const std::string& path) {
    SYSTEMTIME time{};
    // A file that vanished since it was listed shows no date rather than a date of year 0.
    if (!FileTimeOf(path, time)) return std::string();
    return FormatFileDate(time);
}
