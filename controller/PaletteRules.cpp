// PaletteRules.cpp: names, paths, dates and rows of the palette library (see PaletteRules.h).
#include "PaletteRules.h"

#include <cstring>

namespace {

bool SystemLeadByte(unsigned char byte) { return ::IsDBCSLeadByte(byte) != FALSE; }

char AsciiUpper(char ch) { return ch >= 'a' && ch <= 'z' ? static_cast<char>(ch - 'a' + 'A') : ch; }

}  // namespace

bool IsReservedDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.pop_back();
    for (char& ch : stem) ch = AsciiUpper(ch);
    if (stem == "CON" || stem == "PRN" || stem == "AUX" || stem == "NUL") return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

bool IsValidPaletteName(const std::string& name, TLeadBytePredicate isLeadByte) {
    // Walk character by character: a trail byte may have any code, "\" (0x5C) included, and is
    // never a character of its own.
    char last = '\0';
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto byte = static_cast<unsigned char>(name[i]);
        if (isLeadByte(byte) && i + 1 < name.size()) {
            ++i;
            last = '\0';
            continue;
        }
        if (std::strchr(kForbiddenNameCharacters, name[i]) != nullptr && name[i] != '\0') return false;
        last = name[i];
    }
    if (last == '.' || last == ' ') return false;
    return !IsReservedDeviceName(name);
}

bool IsValidPaletteName(const std::string& name) { return IsValidPaletteName(name, SystemLeadByte); }

std::string RowTextOf(const std::string& fileName) {
    return fileName.size() > 4 ? fileName.substr(0, fileName.size() - 4) : std::string();
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    return WithoutTrailingBackslash(folder) + "\\" + name;
}

bool PathTooLong(const std::string& path) { return path.size() >= MAX_PATH; }

std::string TidyFolderPath(const std::string& path) {
    std::string tidy = path;
    if (tidy.size() > 1 && tidy.back() == '\\' && tidy[tidy.size() - 2] != ':') {
        tidy.pop_back();
    } else if (!tidy.empty() && tidy.back() == ':') {
        tidy.push_back('\\');
    }
    while (!tidy.empty() && tidy.back() == ' ') tidy.pop_back();
    return tidy;
}

std::string WithoutTrailingBackslash(const std::string& folder) {
    if (!folder.empty() && folder.back() == '\\') return folder.substr(0, folder.size() - 1);
    return folder;
}

std::string WithoutRootBackslash(const std::string& folder) {
    if (folder.size() >= 2 && folder.back() == '\\' && folder[folder.size() - 2] == ':')
        return folder.substr(0, folder.size() - 1);
    return folder;
}

std::string FormatFileDate(const SYSTEMTIME& time) {
    char text[64] = {};
    ::wsprintfA(text, "%d/%.2d/%.2d %.2d:%.2d:%.2d", time.wYear, time.wMonth, time.wDay, time.wHour,
                time.wMinute, time.wSecond);
    return text;
}

int RowOfFile(const std::vector<std::string>& rowTexts, const std::string& currentFile) {
    const std::string name = RowTextOf(currentFile);
    if (name.empty()) return -1;
    for (std::size_t i = 0; i < rowTexts.size(); ++i)
        if (rowTexts[i] == name) return static_cast<int>(i);
    return -1;
}

std::string UpperText(const std::string& text) {
    std::string upper = text;
    if (!upper.empty()) ::CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}
