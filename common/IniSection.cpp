// IniSection.cpp: a section read once, answering as the profile readers do (see IniSection.h).
#include "IniSection.h"

#include "UtilFunc.h"  // kIniStringSize: the buffer of ReadIniString

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

// What the profile string reader hands back from a stored value when its buffer holds `size`
// characters: an opening quote with the same quote at the end is dropped, the text is cut to
// size - 1 characters, and the closing quote goes only when the cut text still reaches it.
std::string ProfileValue(const std::string& stored, std::size_t size) {
    std::size_t from = 0;
    bool quoted = false;
    if (stored.size() >= 2 && (stored[0] == '"' || stored[0] == '\'') && stored.back() == stored[0]) {
        from = 1;
        quoted = true;
    }
    const std::size_t rest = stored.size() - from;
    std::string value = stored.substr(from, std::min(rest, size - 1));
    if (quoted && size >= rest && !value.empty()) value.pop_back();
    return value;
}

// The profile integer reader's parse: leading blanks and control characters skipped, a sign,
// "0b", "0o" or "0x" for another base, then digits of that base, wrapping as an unsigned long.
int ProfileInt(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ') ++i;
    bool minus = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) minus = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0') {
        if (text[i + 1] == 'b') base = 2;
        else if (text[i + 1] == 'o') base = 8;
        else if (text[i + 1] == 'x') base = 16;
        if (base != 10) i += 2;
    }
    std::uint32_t total = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        unsigned digit = 99;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (c >= 'A' && c <= 'Z') digit = static_cast<unsigned>(c - 'A' + 10);
        else if (c >= 'a' && c <= 'z') digit = static_cast<unsigned>(c - 'a' + 10);
        if (digit >= base) break;
        total = total * base + digit;
    }
    return static_cast<int>(minus ? 0u - total : total);
}

// Buffer sizes of the profile readers behind ReadIniString and ReadIniInt.
constexpr std::size_t kStringBuffer = kIniStringSize;
constexpr std::size_t kIntBuffer = 30;

// The order of the entries: keys without regard to case, as the profile readers match them.
bool KeyBefore(const std::pair<std::string, std::string>& entry, const std::string& key) {
    return ::_stricmp(entry.first.c_str(), key.c_str()) < 0;
}

}  // namespace

TIniSection::TIniSection(const std::string& file, const char* section) {
    // The reader answers size - 2 when the section does not fit; read again with more room.
    std::vector<char> buffer(4096);
    DWORD read = 0;
    for (;;) {
        read = ::GetPrivateProfileSectionA(section, buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
        if (read + 2 < buffer.size() || buffer.size() >= (1u << 24)) break;
        buffer.resize(buffer.size() * 4);
    }
    // "key=value" entries, each ended by a NUL, the last by two.
    for (std::size_t at = 0; at < read && buffer[at] != '\0';) {
        const std::string entry(buffer.data() + at);
        at += entry.size() + 1;
        const std::size_t equals = entry.find('=');
        if (equals == std::string::npos) continue;
        // The first of equal keys stays, as the string reader finds the first.
        std::string key = entry.substr(0, equals);
        const auto place = std::lower_bound(values_.begin(), values_.end(), key, KeyBefore);
        if (place != values_.end() && ::_stricmp(place->first.c_str(), key.c_str()) == 0) continue;
        values_.emplace(place, std::move(key), entry.substr(equals + 1));
    }
}

const TIniSection::TEntry* TIniSection::Find(const std::string& key) const {
    const auto found = std::lower_bound(values_.begin(), values_.end(), key, KeyBefore);
    if (found == values_.end() || ::_stricmp(found->first.c_str(), key.c_str()) != 0) return nullptr;
    return &*found;
}

std::string TIniSection::String(const std::string& key, const std::string& defaultValue) const {
    const TEntry* found = Find(key);
    if (found == nullptr) return defaultValue;
    std::string value = ProfileValue(found->second, kStringBuffer);
    return value.empty() ? defaultValue : value;
}

int TIniSection::Int(const std::string& key, int defaultValue) const {
    const TEntry* found = Find(key);
    if (found == nullptr) return defaultValue;
    const std::string value = ProfileValue(found->second, kIntBuffer);
    return value.empty() ? defaultValue : ProfileInt(value);
}
