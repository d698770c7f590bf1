// DialogSettings.cpp: reading the dialog's settings with their defaults.
#include "DialogSettings.h"

#include "PaletteText.h"
#include "UtilFunc.h"

#include <algorithm>
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

struct TButtonDefault {
    const char* Section;  // layout section, "Button_hook" and "Key_hook" key
    int X;
    const char* Caption;
    const char* Key;  // none of them a mnemonic of the colour dialog itself
};

constexpr TButtonDefault kButtonDefaults[kPanelButtonCount] = {
    {"Read", 0, "o", "F"}, {"Write", 30, "s", "W"}, {"Spuit", 60, "+", "P"}, {"setColor", 90, "v", "V"}};

// Failure texts have defaults of their own: an empty text would hide the failure it reports.
constexpr char kDefaultSaveFailed[] = "Not saved:";
constexpr char kDefaultLoadFailed[] = "Not loaded:";
constexpr char kDefaultAllPalettes[] = "All palettes";
constexpr char kDefaultMoreColors[] = "%1: %2 colours, the first 16 loaded";
constexpr char kDefaultNotPalette[] = "Not loaded, not a palette file:";
constexpr char kDefaultSaveUnreadable[] =
    "Not saved: the custom colours cannot be read where the dialog is. Move it fully into view.";

// The filter entries are read up to the first missing key; a limit keeps a damaged file finite.
constexpr int kMaxFilterEntries = 64;

TFontSetting ReadFont(const std::string& language, const char* name) {
    const TIniSection section(language, name);
    TFontSetting font;
    font.Enabled = section.Int("Enable", 0) != 0;
    font.Name = section.String("Name", "");
    font.Size = section.Int("Size", 12);
    return font;
}

}  // namespace

bool TIniSection::TNoCase::operator()(const std::string& a, const std::string& b) const {
    return ::_stricmp(a.c_str(), b.c_str()) < 0;
}

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
        // emplace keeps the first of equal keys, as the string reader finds the first.
        values_.emplace(entry.substr(0, equals), entry.substr(equals + 1));
    }
}

std::string TIniSection::String(const std::string& key, const std::string& defaultValue) const {
    const auto found = values_.find(key);
    if (found == values_.end()) return defaultValue;
    std::string value = ProfileValue(found->second, kStringBuffer);
    return value.empty() ? defaultValue : value;
}

int TIniSection::Int(const std::string& key, int defaultValue) const {
    const auto found = values_.find(key);
    if (found == values_.end()) return defaultValue;
    const std::string value = ProfileValue(found->second, kIntBuffer);
    return value.empty() ? defaultValue : ProfileInt(value);
}

char PanelKeyOf(const std::string& value) {
    if (value.empty()) return 0;
    char ch = value[0];
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ? ch : 0;
}

TDialogSettings ReadDialogSettings(const std::string& layoutFile, const std::string& languageFile) {
    // Each section once: a profile call opens and parses the whole file every time.
    const TIniSection captions(languageFile, "Button_hook");
    const TIniSection tips(languageFile, "TipHelp_hook");
    const TIniSection keys(languageFile, "Key_hook");
    const TIniSection tipStatus(languageFile, "TipHelpStatus_hook");
    const TIniSection messages(languageFile, "Message_hook");
    const TIniSection filters(languageFile, "FileFilter_hook");
    const TIniSection exchange(languageFile, "Exchange_hook");

    TDialogSettings s;
    for (int i = 0; i < kPanelButtonCount; ++i) {
        const TButtonDefault& d = kButtonDefaults[i];
        const TIniSection layout(layoutFile, d.Section);
        TRectPlus& r = s.Buttons[i];
        r.X = layout.Int("x", d.X);
        r.Y = layout.Int("y", 0);
        r.Width = layout.Int("w", 30);
        r.Height = layout.Int("h", 14);
        r.Caption = captions.String(d.Section, d.Caption);
        const std::string key = IntToText(i);
        s.TipTexts[i] = tips.String(key, ".");
        s.Keys[i] = PanelKeyOf(keys.String(d.Section, d.Key));
        if (s.Keys[i] != 0 && s.TipTexts[i] != ".") s.TipTexts[i] += std::string(" (Alt+") + s.Keys[i] + ")";
        s.TipStatus[i] = tipStatus.String(key, ".");
    }
    s.HookSize = TIniSection(layoutFile, "HookSize").Int("h", 10);
    s.Messages[0] = messages.String("0", "");
    s.Messages[1] = messages.String("1", "");
    s.SaveFailed = messages.String("2", kDefaultSaveFailed);
    s.LoadFailed = messages.String("3", kDefaultLoadFailed);
    s.SaveUnreadable = messages.String("4", kDefaultSaveUnreadable);
    s.NotPalette = messages.String("5", kDefaultNotPalette);
    s.HookFont = ReadFont(languageFile, "HookFont");
    s.TipFont = ReadFont(languageFile, "TipFont");
    s.StatusFont = ReadFont(languageFile, "StatusFont");

    std::vector<std::string> entries;
    for (int i = 0; i < kMaxFilterEntries; ++i) {
        std::string value = filters.String(IntToText(i), ".");
        if (value == ".") break;
        entries.push_back(std::move(value));
    }
    s.PaletteFilter = pelmira::BuildPaletteFilter(entries);
    s.AllPalettes = exchange.String("AllPalettes", kDefaultAllPalettes);
    s.MoreColors = exchange.String("MoreColors", kDefaultMoreColors);
    return s;
}
