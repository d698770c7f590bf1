// Settings.cpp: reading the controller's options, layout and texts, and saving the options.
#include "Settings.h"

#include "ControllerState.h"
#include "IniSection.h"
#include "UtilFunc.h"

#include <map>
#include <utility>

// ---------------------------------------------------------------------------------------------
// INI access
// ---------------------------------------------------------------------------------------------

namespace {

struct TIniCache {
    bool Active = false;
    std::map<std::pair<std::string, std::string>, TIniSection> Sections;  // (file, section)
};
TIniCache gIniCache;

// The cached section, while the start-up cache lives and the file is the language or layout file.
const TIniSection* CachedSection(const std::string& file, const std::string& section) {
    if (!gIniCache.Active || file.empty() || (file != State.LanguageFile && file != State.LayoutFile)) return nullptr;
    const auto key = std::make_pair(file, section);
    auto found = gIniCache.Sections.find(key);
    if (found == gIniCache.Sections.end())
        found = gIniCache.Sections.emplace(key, TIniSection(file, section.c_str())).first;
    return &found->second;
}

}  // namespace

TStartupIniCache::TStartupIniCache() { gIniCache.Active = true; }

TStartupIniCache::~TStartupIniCache() {
    gIniCache.Active = false;
    gIniCache.Sections.clear();
}

void TIniWriter::WriteInt(const std::string& section, const std::string& key, int value) {
    WriteString(section, key, IntToText(value));
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
    if (!IniNamesUsable(section, key)) return defaultValue;
    if (const TIniSection* cached = CachedSection(Path, section)) return cached->String(key, defaultValue);
    return ReadIniString(Path, section, key, defaultValue);
}

int TIniFile::ReadInt(const std::string& section, const std::string& key, int defaultValue) const {
    if (!IniNamesUsable(section, key)) return defaultValue;
    if (const TIniSection* cached = CachedSection(Path, section)) return cached->Int(key, defaultValue);
    return ReadIniInt(Path, section, key, defaultValue);
}

std::string TIniFile::ReadPath(const std::string& section, const std::string& key,
                               const std::string& defaultValue) const {
    if (section.empty() || key.empty()) return defaultValue;
    // Folders are written whole at exit; read through the framework's 128-byte buffer they would
    // come back cut, and the next exit would save them so.
    char value[MAX_PATH + 1] = {};
    ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "", value, sizeof value, Path.c_str());
    return value[0] != '\0' ? std::string(value) : defaultValue;
}

void TIniFile::WriteString(const std::string& section, const std::string& key, const std::string& value) {
    WriteIniString(Path, section, key, value);
}

void TIniFile::DeleteSection(const std::string& section) {
    // A null key name is the profile API's way to remove the section with all its keys.
    ::WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, Path.c_str());
}

// ---------------------------------------------------------------------------------------------
// Options
// ---------------------------------------------------------------------------------------------

int NormalizeLeftClick(int value) {
    return value > kMaxLeftClickAction ? 1 : value;
}

TOptions ReadOptions(const TIniReader& settings, const std::string& titleSection) {
    TOptions o;
    const std::string& s = titleSection;
    o.X = settings.ReadInt(s, "X", o.X);
    o.Y = settings.ReadInt(s, "Y", o.Y);
    o.Extension = settings.ReadInt(s, "Extension", o.Extension);
    o.Suspend = settings.ReadInt(s, "Suspend", o.Suspend);
    o.Show = settings.ReadInt(s, "Show", o.Show);
    o.OnTop = settings.ReadInt(s, "OnTop", o.OnTop);
    o.LeftClick = NormalizeLeftClick(settings.ReadInt(s, "LeftClick", o.LeftClick));
    o.Tray = settings.ReadInt(s, "Tray", o.Tray);
    o.Dialog = settings.ReadInt(s, "DIALOG", o.Dialog);
    o.WebSafe = settings.ReadInt(s, "WebSafe", o.WebSafe);

    o.ListSelect = settings.ReadInt(kListSection, "Select", o.ListSelect);
    o.ListName = settings.ReadInt(kListSection, "Name", o.ListName);
    o.ListDate = settings.ReadInt(kListSection, "Date", o.ListDate);

    o.FolderEnable = settings.ReadInt(kFolderSection, "Enable", o.FolderEnable);
    const int count = settings.ReadInt(kFolderSection, "Count", 0);
    for (int k = 1; k <= count; ++k)
        o.Folders.push_back(settings.ReadPath(kFolderSection, IntToText(k), kNoFolderData));
    if (count != 0) o.FolderSelect = settings.ReadInt(kFolderSection, "Select", o.FolderSelect);
    return o;
}

void WriteSettings(TIniWriter& settings, const TOptions& v) {
    settings.WriteInt(kOptionsSection, "X", v.X);
    settings.WriteInt(kOptionsSection, "Y", v.Y);
    settings.WriteInt(kOptionsSection, "Extension", v.Extension);
    settings.WriteInt(kOptionsSection, "Suspend", v.Suspend);
    settings.WriteInt(kOptionsSection, "Show", v.Show);
    settings.WriteInt(kOptionsSection, "OnTop", v.OnTop);
    settings.WriteInt(kOptionsSection, "LeftClick", v.LeftClick);
    settings.WriteInt(kOptionsSection, "Tray", v.Tray);
    settings.WriteInt(kOptionsSection, "Dialog", v.Dialog);
    settings.WriteInt(kOptionsSection, "WebSafe", v.WebSafe);

    settings.WriteInt(kListSection, "Name", v.ListName);
    settings.WriteInt(kListSection, "Date", v.ListDate);
    settings.WriteInt(kListSection, "Select", v.ListSelect);

    // The folder list may have shrunk since the file was read: drop the section so that no
    // numbered key beyond the new count survives.
    settings.DeleteSection(kFolderSection);
    settings.WriteInt(kFolderSection, "Enable", v.FolderEnable);
    settings.WriteInt(kFolderSection, "Select", v.FolderSelect);
    settings.WriteInt(kFolderSection, "Count", static_cast<int>(v.Folders.size()));
    for (std::size_t k = 0; k < v.Folders.size(); ++k)
        settings.WriteString(kFolderSection, IntToText(static_cast<int>(k + 1)), v.Folders[k]);
}

void SaveSettings(const TOptions& options) {
    // Recomputed from the base rather than taken from SettingsFile: the main window clears that
    // path once it has read its options.
    TIniFile settings(State.ProgramBase + ".ini");
    WriteSettings(settings, options);
}

// ---------------------------------------------------------------------------------------------
// Layout and fonts
// ---------------------------------------------------------------------------------------------

TRectPlus ReadLayout(const TIniReader& layout, const TIniReader& language, const std::string& captionSection,
                     const std::string& key, const TRectPlus& def) {
    TRectPlus r;
    r.X = layout.ReadInt(key, "x", def.X);
    r.Y = layout.ReadInt(key, "y", def.Y);
    r.Width = layout.ReadInt(key, "w", def.Width);
    r.Height = layout.ReadInt(key, "h", def.Height);
    r.Caption = language.ReadString(captionSection, key, def.Caption);
    return r;
}

TRectPlus ReadLayout(const std::string& key, const TRectPlus& def) {
    return ReadLayout(TIniFile(State.LayoutFile), TIniFile(State.LanguageFile), State.CurrentSection, key, def);
}

TMainSize ReadMainSize(const TIniReader& layout) {
    TMainSize size;
    size.Width = layout.ReadInt("MainSize", "w", size.Width);
    size.NormalHeight = layout.ReadInt("MainSize", "h1", size.NormalHeight);
    size.ExtendedHeight = layout.ReadInt("MainSize", "h2", size.ExtendedHeight);
    return size;
}

int ReadPalettoGap(const TIniReader& layout) {
    return layout.ReadInt("Paletto", "g", kPalettoGap);
}

bool ReadFontSettings(const TIniReader& language, const std::string& section, TReadFont& font) {
    if (language.ReadInt(section, "Enable", 0) == 0) return false;
    font.Name = language.ReadString(section, "Name", "");
    font.Size = language.ReadInt(section, "Size", 12);
    return true;
}

std::unique_ptr<TAPICFont> ReadFont(const std::string& section) {
    TReadFont settings;
    if (!ReadFontSettings(TIniFile(State.LanguageFile), section, settings)) return nullptr;
    auto font = std::make_unique<TAPICFont>();
    font->FaceName = settings.Name;
    font->Size = settings.Size;
    font->Bold = false;
    font->Build();
    return font;
}

// ---------------------------------------------------------------------------------------------
// Texts
// ---------------------------------------------------------------------------------------------

void AddTipStatusTexts(const TIniReader& language, TStringArray& list) {
    for (int i = 0; i < kTipCount; ++i) list.Add(language.ReadString("TipHelpStatus", IntToText(i), "."));
}

std::vector<std::string> ReadMessageBoxTexts(const TIniReader& language) {
    std::vector<std::string> messages;
    if (language.ReadString("MessageBox", "0", "").empty()) return messages;

    std::string current;
    for (int i = 0; i < kMaxMessageKeys; ++i) {
        const std::string value = language.ReadString("MessageBox", IntToText(i), "");
        if (!value.empty()) {
            if (!current.empty()) current += "\r\n";
            current += value;
        } else {
            messages.push_back(current);
            current.clear();
        }
        // Compared after joining, so only a "." that opens a message ends the list; a "." line
        // inside a message is part of its text.
        if (current == ".") break;
    }
    // Whatever is still open here (the "." itself, or a message never closed) is dropped.
    return messages;
}

TTextBases LoadRestOfTextList(const TIniReader& language, TStringArray& list) {
    TTextBases bases;
    bases.StatusBase = list.Count();
    for (int k = 0; k < kStatusMessageCount; ++k) list.Add(language.ReadString("StatusMessage", IntToText(k), ""));

    bases.TipsActive = list.Get(0) != ".";

    bases.MessageBase = list.Count();
    for (const std::string& message : ReadMessageBoxTexts(language)) list.Add(message);

    bases.ShowHideBase = list.Count();
    list.Add(ReadText(language, Texts::TrayShow));
    list.Add(ReadText(language, Texts::TrayHide));
    return bases;
}

TTextBases BuildTextList(const TIniReader& language, TStringArray& list) {
    AddTipStatusTexts(language, list);
    return LoadRestOfTextList(language, list);
}

std::string ReadText(const TIniReader& language, const TTextKey& text) {
    return language.ReadString(text.Section, text.Key, text.Default);
}

BYTE ReadAcceleratorKey(const TIniReader& language, const TMenuKeytype& entry) {
    return static_cast<BYTE>(language.ReadString("Mainkey", entry.Key, entry.DefaultLetter)[0]);
}

std::string DuplicateStartText(const TIniReader& language) {
    return language.ReadString("MessageBox", "0", "oops!!");
}

std::string ReadLanguageText(const std::string& section, const std::string& key, const std::string& defaultValue) {
    State.CurrentSection = section;
    return TIniFile(State.LanguageFile).ReadString(section, key, defaultValue);
}

std::string ReadLanguageText(const TTextKey& text) {
    return ReadLanguageText(text.Section, text.Key, text.Default);
}
