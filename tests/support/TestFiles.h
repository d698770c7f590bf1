// TestFiles.h: files for the test programs: the folder the program runs from, a whole file read
// or written in one call, scratch folders that go with everything in them at the end, and text
// with its line breaks made visible for failure messages.
#pragma once

#include "Config.h"

#include <algorithm>
#include <string>
#include <vector>

// The folder of this program (no trailing backslash): where the build puts every program, the
// library and the files that ship beside them.
inline std::string TestFolder() {
    char path[MAX_PATH + 1] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string s = path;
    return s.substr(0, s.find_last_of('\\'));
}

inline bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Replaces the file with `text`, byte for byte; false when it could not be written whole.
inline bool WriteTextFile(const std::string& path, const std::string& text) {
    HANDLE f = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    return ::CloseHandle(f) && ok;
}

// The whole file into `text`; false when it cannot be opened. The file is opened sharing reads
// only, so it fails while another process still has it open for writing: a test that waits for
// a file another program writes sees it only once the writer has closed it.
inline bool ReadTextFile(const std::string& path, std::string& text) {
    HANDLE f = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    text.clear();
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(f, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    ::CloseHandle(f);
    return true;
}

// The whole file, or "<missing>" when it cannot be opened (which no test writes as a file).
inline std::string FileText(const std::string& path) {
    std::string text;
    return ReadTextFile(path, text) ? text : "<missing>";
}

// Deletes `path` and everything below it, read-only files included.
inline void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE find = ::FindFirstFileA((path + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = data.cFileName;
            if (name == "." || name == "..") continue;
            const std::string item = path + "\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(item);
            } else {
                ::SetFileAttributesA(item.c_str(), FILE_ATTRIBUTE_NORMAL);
                ::DeleteFileA(item.c_str());
            }
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
    }
    ::SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    ::RemoveDirectoryA(path.c_str());
}

// A fresh, empty folder under %TEMP%, named after `name`, this process and a serial number (so
// test programs running at the same time, and two folders of one test, never meet), removed with
// everything in it at the end.
class TTempFolder {
public:
    explicit TTempFolder(const std::string& name = "test") {
        char temp[MAX_PATH + 1] = {};
        ::GetTempPathA(MAX_PATH, temp);
        static int serial = 0;
        Path = std::string(temp) + "pelmira_" + name + "_" + std::to_string(::GetCurrentProcessId()) + "_" +
               std::to_string(++serial);
        RemoveTree(Path);
        ::CreateDirectoryA(Path.c_str(), nullptr);
        ::GetCurrentDirectoryA(MAX_PATH, startDir_);
    }
    ~TTempFolder() {
        // The file boxes make the folder last used the process's current one, which a folder
        // cannot be removed while it is.
        ::SetCurrentDirectoryA(startDir_);
        RemoveTree(Path);
    }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    std::string File(const std::string& name) const { return Path + "\\" + name; }

    // Writes a file of the folder and answers its path.
    std::string MakeFile(const std::string& name, const std::string& content = "x") const {
        WriteTextFile(File(name), content);
        return File(name);
    }
    std::string MakeFolder(const std::string& name) const {
        ::CreateDirectoryA(File(name).c_str(), nullptr);
        return File(name);
    }

    // The names of the folder's files (not its folders) with their letter case as stored, sorted.
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE find = ::FindFirstFileA(File("*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
        } while (::FindNextFileA(find, &data));
        ::FindClose(find);
        std::sort(names.begin(), names.end());
        return names;
    }
    int FileCount() const { return static_cast<int>(Names().size()); }

    std::string Path;

private:
    char startDir_[MAX_PATH + 1] = {};
};

// The text with CR and LF written as \r and \n, so a failure message shows the line breaks.
inline std::string Escaped(const char* text) {
    std::string out;
    for (; text && *text; ++text) {
        if (*text == '\r') out += "\\r";
        else if (*text == '\n') out += "\\n";
        else out += *text;
    }
    return out;
}
