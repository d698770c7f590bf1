// PaletteStore.cpp: the controller's palette files on disk. The file mechanics (read under a
// lock, write through a temporary file) are the hook library's PaletteFile; this layer adds the
// controller's checks before a rewrite and its error wording.
#include "PaletteStore.h"

#include "PaletteFile.h"
#include "PaletteRules.h"
#include "UtilFunc.h"

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
