// DialogSettings.h: what a taken-over colour dialog reads from the controller's layout and
// language files (named from SettingsBase in the shared block): the panel buttons' rectangles
// and captions, the extra height, tool-tip and status texts, fonts and the file filter.
// Every key has a built-in default, so a dialog works with neither file present.
#pragma once

#include "Config.h"
#include "IniSection.h"
#include "SharedNames.h"  // LayoutFileName, LanguageFileName: the files read here

#include <array>
#include <cstdint>
#include <string>

// The layout of one control: rectangle from the layout file, caption from the language file.
struct TRectPlus {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::string Caption;
};

// A font named in the language file; applied only when Enabled.
struct TFontSetting {
    bool Enabled = false;
    std::string Name;
    int Size = 12;
};

// Buttons in panel order: load, save, eyedropper, set colour.
enum TPanelButton { kReadButton = 0, kWriteButton = 1, kSpuitButton = 2, kSetColorButton = 3 };
inline constexpr int kPanelButtonCount = 4;

struct TDialogSettings {
    std::array<TRectPlus, kPanelButtonCount> Buttons;
    int HookSize = 10;                                       // pixels added to the dialog's height
    std::array<std::string, kPanelButtonCount> TipTexts;     // "TipHelp_hook", with " (Alt+key)"
    std::array<char, kPanelButtonCount> Keys{};              // "Key_hook": Alt+key presses the button
    std::array<std::string, kPanelButtonCount> TipStatus;    // "TipHelpStatus_hook"
    std::array<std::string, 2> Messages;                     // "Message_hook" 0 and 1
    std::string SaveFailed;                                  // "Message_hook" 2
    std::string LoadFailed;                                  // "Message_hook" 3
    std::string SaveUnreadable;                              // "Message_hook" 4
    std::string NotPalette;                                  // "Message_hook" 5
    TFontSetting HookFont;
    TFontSetting TipFont;
    TFontSetting StatusFont;
    std::string PaletteFilter;                               // NUL-separated pairs, double NUL
    std::string AllPalettes;                                 // "Exchange_hook" AllPalettes: open box's first filter
    std::string MoreColors;                                  // "Exchange_hook" MoreColors: "%1" file, "%2" count
};

// The letter of a "Key_hook" value: its first character as an upper-case letter or a digit (the
// virtual-key code Alt+key arrives with); 0, no key, for an empty value, "." or anything else.
char PanelKeyOf(const std::string& value);

TDialogSettings ReadDialogSettings(const std::string& layoutFile, const std::string& languageFile);
