// DialogSettings.cpp: reading the dialog's settings with their defaults.
#include "DialogSettings.h"

#include "PaletteText.h"
#include "UtilFunc.h"

#include <vector>

namespace {

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

TFontSetting ReadFont(const std::string& language, const char* section) {
    TFontSetting font;
    font.Enabled = ReadIniInt(language, section, "Enable", 0) != 0;
    font.Name = ReadIniString(language, section, "Name", "");
    font.Size = ReadIniInt(language, section, "Size", 12);
    return font;
}

}  // namespace

char PanelKeyOf(const std::string& value) {
    if (value.empty()) return 0;
    char ch = value[0];
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return (ch >= 'A' && ch <= 'Z') || (ch >= '0' && ch <= '9') ? ch : 0;
}

TDialogSettings ReadDialogSettings(const std::string& layoutFile, const std::string& languageFile) {
    TDialogSettings s;
    for (int i = 0; i < kPanelButtonCount; ++i) {
        const TButtonDefault& d = kButtonDefaults[i];
        TRectPlus& r = s.Buttons[i];
        r.X = ReadIniInt(layoutFile, d.Section, "x", d.X);
        r.Y = ReadIniInt(layoutFile, d.Section, "y", 0);
        r.Width = ReadIniInt(layoutFile, d.Section, "w", 30);
        r.Height = ReadIniInt(layoutFile, d.Section, "h", 14);
        r.Caption = ReadIniString(languageFile, "Button_hook", d.Section, d.Caption);
        const std::string key = IntToText(i);
        s.TipTexts[i] = ReadIniString(languageFile, "TipHelp_hook", key, ".");
        s.Keys[i] = PanelKeyOf(ReadIniString(languageFile, "Key_hook", d.Section, d.Key));
        if (s.Keys[i] != 0 && s.TipTexts[i] != ".") s.TipTexts[i] += std::string(" (Alt+") + s.Keys[i] + ")";
        s.TipStatus[i] = ReadIniString(languageFile, "TipHelpStatus_hook", key, ".");
    }
    s.HookSize = ReadIniInt(layoutFile, "HookSize", "h", 10);
    s.Messages[0] = ReadIniString(languageFile, "Message_hook", "0", "");
    s.Messages[1] = ReadIniString(languageFile, "Message_hook", "1", "");
    s.SaveFailed = ReadIniString(languageFile, "Message_hook", "2", kDefaultSaveFailed);
    s.LoadFailed = ReadIniString(languageFile, "Message_hook", "3", kDefaultLoadFailed);
    s.SaveUnreadable = ReadIniString(languageFile, "Message_hook", "4", kDefaultSaveUnreadable);
    s.NotPalette = ReadIniString(languageFile, "Message_hook", "5", kDefaultNotPalette);
    s.HookFont = ReadFont(languageFile, "HookFont");
    s.TipFont = ReadFont(languageFile, "TipFont");
    s.StatusFont = ReadFont(languageFile, "StatusFont");

    std::vector<std::string> entries;
    for (int i = 0; i < kMaxFilterEntries; ++i) {
        std::string value = ReadIniString(languageFile, "FileFilter_hook", IntToText(i), ".");
        if (value == ".") break;
        entries.push_back(std::move(value));
    }
    s.PaletteFilter = pelmira::BuildPaletteFilter(entries);
    s.AllPalettes = ReadIniString(languageFile, "Exchange_hook", "AllPalettes", kDefaultAllPalettes);
    s.MoreColors = ReadIniString(languageFile, "Exchange_hook", "MoreColors", kDefaultMoreColors);
    return s;
}
