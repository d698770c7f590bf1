// Settings.h: the controller's three INI files.
//
// <base>.ini holds the options (read at start, written once at exit), <base>Form.ini the
// geometry of the window and its controls, <base>Lang.ini every text. Every key has a built-in
// default, so the program runs with none of the files present.
//
// The readers work through TIniReader so that the text list and the option table can be tested
// against an in-memory INI; TIniFile is the real one over the framework's INI wrappers. The
// readers over the program's own files take the file names from ControllerState; nothing here
// reaches up into the main window: what is saved is handed in. One GUI thread.
#pragma once

#include "Config.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "CommandIds.h"
#include "ControllerState.h"
#include "UtilClass.h"

// ---------------------------------------------------------------------------------------------
// INI access
// ---------------------------------------------------------------------------------------------

// The contract of the framework's INI readers: a missing file, section or key, an empty value,
// and an empty section or key name all give the default; strings are cut to 127 characters.
class TIniReader {
public:
    virtual ~TIniReader() = default;
    virtual std::string ReadString(const std::string& section, const std::string& key,
                                   const std::string& defaultValue) const = 0;
    virtual int ReadInt(const std::string& section, const std::string& key, int defaultValue) const = 0;
    // A path: read whole, up to MAX_PATH characters, with the defaults of ReadString.
    virtual std::string ReadPath(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
        return ReadString(section, key, defaultValue);
    }
};

class TIniWriter {
public:
    virtual ~TIniWriter() = default;
    virtual void WriteString(const std::string& section, const std::string& key, const std::string& value) = 0;
    // Removes the whole section with all its keys.
    virtual void DeleteSection(const std::string& section) = 0;
    void WriteInt(const std::string& section, const std::string& key, int value);
};

// One INI file on disk. Write failures are ignored: nothing is reported.
class TIniFile final : public TIniReader, public TIniWriter {
public:
    explicit TIniFile(std::string path) : Path(std::move(path)) {}
    std::string ReadString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const override;
    int ReadInt(const std::string& section, const std::string& key, int defaultValue) const override;
    std::string ReadPath(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const override;
    void WriteString(const std::string& section, const std::string& key, const std::string& value) override;
    void DeleteSection(const std::string& section) override;

    std::string Path;
};

// While one lives (the start-up, which reads some two hundred keys), TIniFile reads of the
// language and layout files come from sections read once each instead of one profile call per
// key, each of which opens and parses the file. Reads answer the same; the options file is
// always read and written directly. One at a time, GUI thread.
class TStartupIniCache {
public:
    TStartupIniCache();
    ~TStartupIniCache();
    TStartupIniCache(const TStartupIniCache&) = delete;
    TStartupIniCache& operator=(const TStartupIniCache&) = delete;
};

// ---------------------------------------------------------------------------------------------
// Records filled from the INI files
// ---------------------------------------------------------------------------------------------

// Layout of one control: client pixels of the main window, and its caption.
struct TRectPlus {
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Width = 0;
    int32_t Height = 0;
    std::string Caption;
};

struct TReadFont {
    std::string Name;
    int32_t Size = 12;
};

// One Ctrl+letter accelerator: [Mainkey] Key, its built-in letter and the command it sends.
struct TMenuKeytype {
    const char* Key;
    const char* DefaultLetter;
    uint16_t Command;
};

// One button of the main window: Key names its layout section and its [Button] caption key.
struct TCreateBtntype {
    const char* Key;
    const char* DefaultCaption;
    TSelfSubClass* Control;
    uint8_t Kind;  // 0 push button, 1 push-like radio button that stays down
    int32_t X, Y, Width, Height;
    TEventProc OnClick;
};

// The nine buttons of the main window in creation order, with their layout defaults; the main
// window fills in Control and OnClick on its own copy of an entry. Captions come from [Button] Key.
inline constexpr TCreateBtntype ButtonTable[9] = {
    {"SUSPEND", "&SUSPEND", nullptr, 1, 30, 10, 142, 25, nullptr},
    {"OnTop", "+", nullptr, 1, 10, 20, 14, 14, nullptr},
    {"Exit", "E&xit", nullptr, 0, 234, 10, 80, 25, nullptr},
    {"Test", "&Test", nullptr, 0, 178, 10, 50, 25, nullptr},
    {"New", "&N", nullptr, 0, 234, 40, 25, 25, nullptr},
    {"Delete", "&D", nullptr, 0, 262, 40, 25, 25, nullptr},
    {"ReLoad", "&ReLoad", nullptr, 0, 10, 240, 148, 25, nullptr},
    {"ReWrite", "Re&Write", nullptr, 0, 162, 240, 148, 25, nullptr},
    {"Extension", "&G", nullptr, 1, 290, 40, 25, 25, nullptr},
};

// Layout defaults of the other controls (section = the control's layout key).
inline const TRectPlus kFileListLayout{10, 80, 304, 100, ""};
inline const TRectPlus kFolderCheckLayout{10, 44, 20, 25, ""};
inline const TRectPlus kFolderListLayout{30, 40, 200, 180, ""};  // height with the list dropped down
inline const TRectPlus kPalettoLayout{10, 190, 36, 16, ""};      // first colour button
inline constexpr int kPalettoGap = 2;

// The Ctrl+letter accelerators: [Mainkey] key, built-in letter, command.
inline constexpr TMenuKeytype kMainKeys[14] = {
    {"OnTop", "O", kCmdOnTop},           {"Tray", "I", kCmdTrayIcon},       {"Dialog", "Z", kCmdDialog},
    {"SUSPEND", "S", kCmdSuspend},       {"WebSafe", "V", kCmdWebSafe},     {"Exit", "X", kCmdExit},
    {"Test", "T", kCmdTest},             {"New", "N", kCmdBrowseFolder},    {"Delete", "D", kCmdRemoveFolder},
    {"Extension", "G", kCmdExtension},   {"ReLoad", "R", kCmdReLoad},       {"ReWrite", "W", kCmdReWrite},
    {"FolderCheck", "F", kCmdFolderCheck}, {"About", "A", kCmdAbout},
};

// One text of the language file with its built-in default.
struct TTextKey {
    const char* Section;
    const char* Key;
    const char* Default;
};

namespace Texts {
inline constexpr TTextKey Title{"Other", "title", "Pelmira"};
// Read under "ColorMenu" because it is read right after the menus, whose last section that is.
inline constexpr TTextKey FolderBrowseTitle{"ColorMenu", "folder", "Select Folder"};
inline constexpr TTextKey ColumnName{"FileList", "Name", "Name"};
inline constexpr TTextKey ColumnDate{"FileList", "Date", "Date"};
inline constexpr TTextKey TrayOnTop{"TrayMenu", "OnTop", "Always On &Top"};
inline constexpr TTextKey TraySuspend{"TrayMenu", "Suspend", "&Suspend"};
inline constexpr TTextKey TrayDialog{"TrayMenu", "Dialog", "USE Default Dialog(&Z)"};
inline constexpr TTextKey TrayTray{"TrayMenu", "Tray", "USE Task Tray(&I)"};
inline constexpr TTextKey TrayWebSafe{"TrayMenu", "WebSafe", "WebSafeColor(&V)"};
inline constexpr TTextKey TrayAbout{"TrayMenu", "About", "&About"};
inline constexpr TTextKey TrayExit{"TrayMenu", "Exit", "E&xit"};
inline constexpr TTextKey TrayLeftClick{"TrayMenu", "LeftClick", "&LeftClick"};
inline constexpr TTextKey TrayShow{"TrayMenu", "Show", "Show(&C)"};
inline constexpr TTextKey TrayHide{"TrayMenu", "Hide", "Hide(&C)"};
inline constexpr TTextKey ListNew{"ListMenu", "New", "&New"};
inline constexpr TTextKey ListReName{"ListMenu", "ReName", "&ReName"};
inline constexpr TTextKey ListDelete{"ListMenu", "Delete", "&Delete"};
inline constexpr TTextKey ListDuplicate{"ListMenu", "Duplicate", "Duplic&ate"};
inline constexpr TTextKey ColorEdit{"ColorMenu", "Edit", "&Edit"};
inline constexpr TTextKey ColorInit{"ColorMenu", "Init", "&Init"};
inline constexpr TTextKey ColorDuplicate{"ColorMenu", "Duplicate", "Duplic&ate"};
}  // namespace Texts

inline constexpr const char* kButtonSection = "Button";
inline constexpr const char* kTipHelpSection = "TipHelp";      // keys 0..10, default "."
inline constexpr const char* kNoTipText = ".";

// ---------------------------------------------------------------------------------------------
// Options (<base>.ini)
// ---------------------------------------------------------------------------------------------

// Options are read under the section named by the title and always written under this one;
// with the default title they are the same section.
inline constexpr const char* kOptionsSection = "Pelmira";
inline constexpr const char* kListSection = "List";
inline constexpr const char* kFolderSection = "Folder";
inline constexpr const char* kNoFolderData = "No Data.";
inline constexpr int kMaxLeftClickAction = 6;

// Every option of the settings file, with its built-in default.
struct TOptions {
    int X = -1;           // -1 centres the window
    int Y = -1;
    int Extension = 0;    // extended view
    int Suspend = 0;      // start with the hook removed
    int Show = 1;         // start with a normal window
    int OnTop = 0;
    int LeftClick = 1;    // tray left click runs command 300 + LeftClick; 0 does nothing
    int Tray = 0;
    int Dialog = 0;       // taken-over dialogs get the recorded standard layout
    int WebSafe = 0;      // web-safe eyedropper
    int ListSelect = 0;   // row of the palette list to select
    int ListName = 100;   // width of list column 0
    int ListDate = 200;   // width of list column 1
    int FolderEnable = 0; // use the folder list rather than the program folder
    int FolderSelect = 0; // selected folder; only read when there are folders
    std::vector<std::string> Folders;
};

// LeftClick values above 6 mean 1.
int NormalizeLeftClick(int value);

// Reads every option; the [<title>] options from `titleSection`.
TOptions ReadOptions(const TIniReader& settings, const std::string& titleSection);

// Writes the options in the order of the file: [Pelmira], then [List], then [Folder], which is
// deleted first so that no stale numbered folder keys survive.
void WriteSettings(TIniWriter& settings, const TOptions& values);

// ---------------------------------------------------------------------------------------------
// Layout (<base>Form.ini) and fonts
// ---------------------------------------------------------------------------------------------

// x, y, w, h from [key] of the layout file, each defaulting to `def`; the caption from
// [captionSection] key of the language file, defaulting to def.Caption.
TRectPlus ReadLayout(const TIniReader& layout, const TIniReader& language, const std::string& captionSection,
                     const std::string& key, const TRectPlus& def);

// The same over the program's own files, captions from CurrentSection.
TRectPlus ReadLayout(const std::string& key, const TRectPlus& def);

// TMainSize (ControllerState.h) from [MainSize] w, h1, h2.
TMainSize ReadMainSize(const TIniReader& layout);
// [Paletto] g: gap between neighbouring colour buttons and between their two rows.
int ReadPalettoGap(const TIniReader& layout);

// False when [section] Enable is 0 (the control keeps its system font); otherwise fills `font`.
bool ReadFontSettings(const TIniReader& language, const std::string& section, TReadFont& font);

// A regular-weight control font from the language file's [section], or none when that section
// is not enabled. Sections: "MainFont", "StatusFont", "TipFont".
std::unique_ptr<TAPICFont> ReadFont(const std::string& section);

// ---------------------------------------------------------------------------------------------
// Texts (<base>Lang.ini)
// ---------------------------------------------------------------------------------------------

inline constexpr int kTipCount = 11;
inline constexpr int kStatusMessageCount = 19;
inline constexpr int kMaxMessageKeys = 100;

// Where the groups of the text list begin.
struct TTextBases {
    int StatusBase = 0;
    int MessageBase = 0;
    int ShowHideBase = 0;
    bool TipsActive = true;  // false when tip status 0 is exactly "."
};

// Appends [TipHelpStatus] 0..10 (default "."): tip status i lands at index i of an empty list.
void AddTipStatusTexts(const TIniReader& language, TStringArray& list);

// After AddTipStatusTexts: the status messages, the [MessageBox] messages and Show/Hide.
TTextBases LoadRestOfTextList(const TIniReader& language, TStringArray& list);

// Both of the above on an empty list.
TTextBases BuildTextList(const TIniReader& language, TStringArray& list);

// The [MessageBox] messages: consecutive non-empty keys joined by CR LF, closed by an empty
// key; ended by a message that is exactly "." or after key 99. Nothing when key "0" is empty.
std::vector<std::string> ReadMessageBoxTexts(const TIniReader& language);

std::string ReadText(const TIniReader& language, const TTextKey& text);

// The key code of a Ctrl accelerator: the first character of [Mainkey] Key, or the built-in
// letter when the value is empty. The character is the virtual-key code as it stands.
BYTE ReadAcceleratorKey(const TIniReader& language, const TMenuKeytype& entry);

// The text of the duplicate-start message: [MessageBox] "0", else "oops!!".
std::string DuplicateStartText(const TIniReader& language);

// The program's language-file reader that also records the section as CurrentSection, the way
// the menu and caption readers leave it for the next reader.
std::string ReadLanguageText(const std::string& section, const std::string& key, const std::string& defaultValue);
std::string ReadLanguageText(const TTextKey& text);

// ---------------------------------------------------------------------------------------------
// Saving at exit
// ---------------------------------------------------------------------------------------------

// Writes `options` into ProgramBase + ".ini"; the main window says what they are
// (CollectSettings).
void SaveSettings(const TOptions& options);
