// SharedNames.h: the names and ids that the controller, the hook library and every hooked process
// must agree on: the shared section, the registered message, the take-over mark, the controls of
// the system colour dialog, and the settings files named from the controller's path.
// Constants only (plus two name builders); no state, usable from any thread.
#pragma once

#include <string>

// The named section that holds the shared block (one per desktop session).
inline constexpr char kSectionName[] = "PelmiraXP";

// The registered message the hook posts to the controller for every colour-dialog message.
inline constexpr char kHookMessageName[] = "Vorlundhook";

// Window property set on a taken-over dialog; its value is the dialog's basic-colours grid.
inline constexpr char kTakeOverProp[] = "Ostvarin";

// Control ids of the system colour dialog (ChooseColor's template).
inline constexpr int kHueBoxId = 703;     // first of the six edit boxes 703-708
inline constexpr int kRedBoxId = 706;
inline constexpr int kGreenBoxId = 707;
inline constexpr int kBlueBoxId = 708;    // last of the six edit boxes
inline constexpr int kAddButtonId = 712;  // "Add to Custom Colors"
inline constexpr int kBasicGridId = 720;  // the 8 x 6 basic colours; its presence marks the dialog
inline constexpr int kCustomGridId = 721; // the 8 x 2 custom colours

// `settingsBase` is the controller's module path up to its first "."; the layout file is
// base + "Form.ini", the language file base + "Lang.ini".
inline std::string LayoutFileName(const std::string& settingsBase) { return settingsBase + "Form" + ".ini"; }
inline std::string LanguageFileName(const std::string& settingsBase) { return settingsBase + "Lang" + ".ini"; }
