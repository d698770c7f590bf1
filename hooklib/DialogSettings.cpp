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

TFontSetting ReadFont(const std::string& language, const char* name) {
    const TIniSection section(language, name);
    TFontSetting font;
    font.Enabled = section.Int("Enable", 0) != 0;
    font.Name = section.String("Name", "");
    font.Size = section.Int("Size", 12);
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
