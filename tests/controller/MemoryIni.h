// MemoryIni.h: an INI file held in memory, with the profile API's rules (section and key names
// ignore case; an empty value or name gives the default; strings are cut to 127 characters),
// and a log of every write so that tests can check the order of a save.
#pragma once

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "Settings.h"

class TMemoryIni final : public TIniReader, public TIniWriter {
public:
    TMemoryIni& Set(const std::string& section, const std::string& key, const std::string& value) {
        Section(section)[Lower(key)] = value;
        return *this;
    }

    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const override {
        const std::string* value = Find(section, key);
        if (value == nullptr || value->empty()) return defaultValue;
        return value->substr(0, 127);
    }

    int ReadInt(const std::string& section, const std::string& key, int defaultValue) const override {
        const std::string* value = Find(section, key);
        if (value == nullptr || value->empty()) return defaultValue;
        return static_cast<int>(std::strtol(value->c_str(), nullptr, 10));
    }

    void WriteString(const std::string& section, const std::string& key, const std::string& value) override {
        Log.push_back(section + "/" + key + "=" + value);
        Set(section, key, value);
    }

    void DeleteSection(const std::string& section) override {
        Log.push_back("delete " + section);
        sections_.erase(Lower(section));
    }

    bool Has(const std::string& section, const std::string& key) const { return Find(section, key) != nullptr; }

    std::vector<std::string> Log;

private:
    static std::string Lower(std::string s) {
        std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return s;
    }

    std::map<std::string, std::string>& Section(const std::string& section) { return sections_[Lower(section)]; }

    const std::string* Find(const std::string& section, const std::string& key) const {
        if (section.empty() || key.empty()) return nullptr;
        const auto s = sections_.find(Lower(section));
        if (s == sections_.end()) return nullptr;
        const auto k = s->second.find(Lower(key));
        return k == s->second.end() ? nullptr : &k->second;
    }

    std::map<std::string, std::map<std::string, std::string>> sections_;
};
