// IniSection.h: one section of an INI file read at once, for code that reads many keys of a file
// that does not change meanwhile (the layout and language files). Plain Win32; any thread.
#pragma once

#include "Config.h"

#include <string>
#include <utility>
#include <vector>

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
    using TEntry = std::pair<std::string, std::string>;
    // The entry of `key`, or null.
    const TEntry* Find(const std::string& key) const;
    // Sorted by key without regard to case, one entry per key. A sorted vector rather than a map:
    // the hook library carries this, and the tree's code would be there for this class alone.
    std::vector<TEntry> values_;
};
