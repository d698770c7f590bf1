// IniSection.h: one section of an INI file read at once, for code that reads many keys of a file
// that does not change meanwhile (the layout and language files). Plain Win32; any thread.
#pragma once

#include "Config.h"

#include <map>
#include <string>

// One section of an INI file, read with a single GetPrivateProfileSectionA (each profile call
// opens and parses the whole file). String and Int answer what ReadIniString and ReadIniInt would
// for the same key: keys match without regard to case and the first of equal keys counts, a
// value in matching quotes loses them, a string is cut to the profile readers' length, and a
// missing or empty value takes the default.
class TIniSection {
public:
    TIniSection(const std::string& file, const char* section);
    std::string String(const std::string& key, const std::string& defaultValue) const;
    int Int(const std::string& key, int defaultValue) const;

private:
    struct TNoCase {
        bool operator()(const std::string& a, const std::string& b) const;
    };
    std::map<std::string, std::string, TNoCase> values_;
};
