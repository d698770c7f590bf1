// PaletteExchange.cpp: import by drop and "Export...".
#include "PaletteExchange.h"

#include <commdlg.h>

#include "ControllerState.h"
#include "Feedback.h"
#include "GDIObject.h"
#include "ForeignPaletteFile.h"
#include "PaletteList.h"
#include "PaletteRules.h"
#include "PaletteStore.h"
#include "Settings.h"
#include "UtilFunc.h"

namespace {

namespace formats = pelmira::formats;

constexpr COLORREF kWhite = RGB(255, 255, 255);

// Messages of the [MessageBox] list shared with New: the caption of name errors and the refusals.
constexpr int kNameCaption = 1;
constexpr int kFolderExists = 4;
constexpr int kFileExists = 5;
constexpr int kNameInvalid = 7;
constexpr int kNameTooLong = 8;

namespace ExchangeTexts {
inline constexpr TTextKey Replace{"Exchange", "Replace", "Replace it with the imported palette?"};
inline constexpr TTextKey NotImported{"Exchange", "NotImported", "The palette file could not be imported."};
inline constexpr TTextKey Imported{"Exchange", "Imported", " palette(s) imported."};
inline constexpr TTextKey NotExported{"Exchange", "NotExported", "The palette could not be exported."};
inline constexpr TTextKey Exported{"Exchange", "Exported", " was exported."};
}  // namespace ExchangeTexts

void ErrorBox(const TTextKey& what, const std::string& reason) {
    const std::string text = ReadLanguageText(what) + "\r\n\r\n" + reason;
    ::MessageBoxA(Window(), text.c_str(), State.AppTitle.c_str(), MB_OK | MB_ICONERROR);
}

// The checks of a new palette's name in `folder`, with New's messages; a name of an existing
// palette file asks whether to replace it. True when the part may be written.
bool NameAccepted(const std::string& folder, const std::string& name) {
    const std::string file = name + kPaletteExtension;
    int refusal = 0;
    UINT icon = MB_ICONERROR;
    if (name.size() >= kMaxPaletteNameLength || PathTooLong(JoinPath(folder, file)))
        refusal = kNameTooLong;
    else if (!IsValidPaletteName(name))
        refusal = kNameInvalid;
    if (refusal == 0) {
        const std::string root = WithoutRootBackslash(folder);
        const std::string upper = UpperText(file);
        TStringArray folders;
        ListSubfolders(root, folders);
        if (folders.IndexOf(upper) >= 0) {
            refusal = kFolderExists;
            icon = MB_ICONINFORMATION;
        } else {
            TStringArray files;
            ListFilesUpper(root, "pli", files);
            if (files.IndexOf(upper) >= 0) {
                const std::string question = "[" + file + "]\r\n" + MessageText(kFileExists) + "\r\n" +
                                             ReadLanguageText(ExchangeTexts::Replace);
                return ::MessageBoxA(Window(), question.c_str(), MessageText(kNameCaption).c_str(),
                                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
            }
        }
    }
    if (refusal == 0) return true;
    const std::string text = "[" + name + "]\r\n" + MessageText(refusal);
    ::MessageBoxA(Window(), text.c_str(), MessageText(kNameCaption).c_str(), MB_OK | icon);
    return false;
}

// The base name of a dropped file: its name without the last extension.
std::string BaseNameOf(const std::string& path) {
    const std::string name = FileNameOf(path);
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string ExportFilter(std::vector<formats::TFormat>& order) {
    std::string filter;
    for (const formats::TFormatInfo& info : formats::AllFormats()) {
        // ".pal" is written as JASC text; the RIFF form is read only.
        if (info.Format == formats::TFormat::RiffPal) continue;
        const std::string pattern = std::string("*.") + info.Extension;
        filter += std::string(info.Description) + " (" + pattern + ")";
        filter.push_back('\0');
        filter += pattern;
        filter.push_back('\0');
        order.push_back(info.Format);
    }
    filter.push_back('\0');
    return filter;
}

}  // namespace

std::vector<TImportPart> SplitForImport(const std::string& baseName, const formats::TPalette& colors) {
    std::vector<TImportPart> parts;
    const std::size_t count = colors.size();
    const std::size_t partCount = count <= pelmira::kPaletteEntries ? 1 : (count + 15) / 16;
    for (std::size_t p = 0; p < partCount; ++p) {
        TImportPart part;
        part.Name = partCount == 1 ? baseName : baseName + " " + std::to_string(p + 1);
        part.Colors.fill(kWhite);
        for (std::size_t i = 0; i < 16 && p * 16 + i < count; ++i) {
            const formats::TSwatch& s = colors[p * 16 + i];
            part.Colors[i] = RGB(s.R, s.G, s.B);
        }
        parts.push_back(std::move(part));
    }
    return parts;
}

void ImportPaletteFiles(const std::vector<std::string>& paths) {
    const std::string folder = State.ListedFolder;
    if (folder.empty()) return;
    int imported = 0;
    for (const std::string& path : paths) {
        const formats::TReadResult read = pelmira::ReadForeignPaletteFile(path);
        if (!read.Ok) {
            ErrorBox(ExchangeTexts::NotImported, read.Error);
            continue;
        }
        for (const TImportPart& part : SplitForImport(BaseNameOf(path), read.Colors)) {
            if (!NameAccepted(folder, part.Name)) continue;
            const std::string target = JoinPath(folder, part.Name + kPaletteExtension);
            if (const DWORD error = SavePaletteColors(target, part.Colors); error != 0) {
                ErrorBox(ExchangeTexts::NotImported, "[" + FileNameOf(target) + "]\r\n" + SystemErrorText(error));
                continue;
            }
            ++imported;
        }
    }
    if (imported == 0) return;
    PublishPaletteFolder();
    SetStatusText(std::to_string(imported) + ReadLanguageText(ExchangeTexts::Imported));
}

void ExportCurrentPalette() {
    std::vector<formats::TFormat> order;
    const std::string filter = ExportFilter(order);
    std::string initial = State.CurrentPaletteFile.empty() ? std::string() : BaseNameOf(State.CurrentPaletteFile);
    char file[MAX_PATH + 1] = {};
    initial.copy(file, MAX_PATH);
    const std::string folder = State.ListedFolder;
    OPENFILENAMEA box{};
    box.lStructSize = sizeof box;
    box.hwndOwner = Window();
    box.lpstrFilter = filter.c_str();
    box.nFilterIndex = 2;  // GIMP, the format most other tools read
    box.lpstrFile = file;
    box.nMaxFile = sizeof file;
    box.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    box.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!::GetSaveFileNameA(&box)) return;

    std::string path = file;
    formats::TFormat format = pelmira::WriteFormatForPath(path);
    if (format == formats::TFormat::Unknown) {
        // No extension of a known kind typed: the chosen type decides and names the file.
        const std::size_t index = box.nFilterIndex >= 1 ? box.nFilterIndex - 1 : 0;
        format = order[index < order.size() ? index : 0];
        path += std::string(".") + formats::FormatInfo(format).Extension;
    }
    formats::TPalette colors;
    for (const COLORREF c : State.PaletteColors)
        colors.push_back({GetRValue(c), GetGValue(c), GetBValue(c), ""});
    if (const std::string error = pelmira::WriteForeignPaletteFile(path, format, colors); !error.empty()) {
        ErrorBox(ExchangeTexts::NotExported, error);
        return;
    }
    SetStatusText("[" + FileNameOf(path) + "]" + ReadLanguageText(ExchangeTexts::Exported));
}

void PaletteFilesDropped(TMessageRecord* message) noexcept {
    try {
        auto* drop = reinterpret_cast<TAPIDragDrop*>(message->Msg);
        if (drop == nullptr) return;
        std::vector<std::string> paths;
        for (int i = 0; i < drop->FileCount; ++i) paths.push_back(drop->GetFile(i));
        ImportPaletteFiles(paths);
    } catch (...) {
        // A drop that failed half-way imported what it wrote; the window goes on.
    }
}

void ColorButtonsDropped(TMessageRecord* message) noexcept {
    POINT at{};
    ::GetCursorPos(&at);
    ::ScreenToClient(Window(), &at);
    for (const TVxrinkBtn* button : State.MainForm.Paletto) {
        if (button != nullptr && button->Visible && ::PtInRect(&button->BoundsRect, at)) {
            PaletteFilesDropped(message);
            return;
        }
    }
}
