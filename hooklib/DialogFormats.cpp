// DialogFormats.cpp: filters, foreign loads and saves for the taken-over dialog.
#include "DialogFormats.h"

#include <algorithm>
#include <vector>

#include "ForeignPaletteFile.h"

namespace {

namespace formats = pelmira::formats;

using TFilterPairs = std::vector<std::pair<std::string, std::string>>;

TFilterPairs SplitFilter(const std::string& filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < filter.size() && filter[start] != '\0') {
        const std::size_t end = std::min(filter.find('\0', start), filter.size());
        parts.push_back(filter.substr(start, end - start));
        start = end + 1;
    }
    TFilterPairs pairs;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) pairs.emplace_back(parts[i], parts[i + 1]);
    return pairs;
}

std::string JoinFilter(const TFilterPairs& pairs) {
    std::string filter;
    for (const auto& [description, pattern] : pairs) {
        filter += description;
        filter.push_back('\0');
        filter += pattern;
        filter.push_back('\0');
    }
    filter.push_back('\0');
    return filter;
}

// One pair per extension of the other formats (JASC and RIFF share ".pal"), in the table's order.
TFilterPairs ForeignPairs(bool writableOnly) {
    TFilterPairs pairs;
    for (const formats::TFormatInfo& info : formats::AllFormats()) {
        if (info.Format == formats::TFormat::Pli) continue;
        const std::string extension = info.Extension;
        // ".pal" is written as JASC text only; RIFF is read but never chosen by extension.
        if (writableOnly && info.Format == formats::TFormat::RiffPal) continue;
        const std::string pattern = "*." + extension;
        const auto same = std::find_if(pairs.begin(), pairs.end(), [&](const auto& p) { return p.second == pattern; });
        if (same != pairs.end()) {
            same->first.insert(same->first.rfind(" (*."), std::string(" or ") + info.Description);
            continue;
        }
        pairs.emplace_back(std::string(info.Description) + " (" + pattern + ")", pattern);
    }
    return pairs;
}

std::string Merge(const std::string& paletteFilter, TFilterPairs front, bool writableOnly) {
    const TFilterPairs configured = SplitFilter(paletteFilter);
    TFilterPairs pairs = std::move(front);
    if (!configured.empty()) pairs.push_back(configured.front());
    for (auto& pair : ForeignPairs(writableOnly)) pairs.push_back(std::move(pair));
    for (std::size_t i = 1; i < configured.size(); ++i) pairs.push_back(configured[i]);
    return JoinFilter(pairs);
}

}  // namespace

std::string LoadFilter(const std::string& paletteFilter, const std::string& allPalettesText) {
    std::string patterns = "*.pli";
    for (const auto& [description, pattern] : ForeignPairs(false)) patterns += ";" + pattern;
    return Merge(paletteFilter, {{allPalettesText, patterns}}, false);
}

std::string SaveFilter(const std::string& paletteFilter) { return Merge(paletteFilter, {}, true); }

bool IsForeignPalettePath(const std::string& path) {
    const formats::TFormat format = pelmira::WriteFormatForPath(path);
    return format != formats::TFormat::Unknown && format != formats::TFormat::Pli;
}

bool IsLoadablePath(const std::string& path) {
    return pelmira::HasPaletteExtension(path) || IsForeignPalettePath(path);
}

TForeignLoad LoadForeignPalette(const std::string& path) {
    TForeignLoad load;
    formats::TReadResult read = pelmira::ReadForeignPaletteFile(path);
    if (!read.Ok) {
        load.Error = read.Error;
        return load;
    }
    load.ColorCount = read.Colors.size();
    if (read.Colors.size() > pelmira::kPaletteEntries) read.Colors.resize(pelmira::kPaletteEntries);
    const formats::TWriteResult text = formats::WritePalette(formats::TFormat::Pli, read.Colors);
    load.Ok = text.Ok;
    load.PaletteText = text.Bytes;
    load.Error = text.Error;
    return load;
}

std::string MoreColorsText(const std::string& pattern, const std::string& fileName, std::size_t count) {
    // The count first: a file name may itself hold "%2".
    std::string text = pattern;
    if (const std::size_t at = text.find("%2"); at != std::string::npos) text.replace(at, 2, std::to_string(count));
    if (const std::size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, fileName);
    return text;
}

std::string SaveForeignPalette(const std::string& path, const pelmira::TPaletteColors& colors) {
    formats::TPalette palette;
    for (const std::uint32_t color : colors)
        palette.push_back({static_cast<std::uint8_t>(color & 0xFF), static_cast<std::uint8_t>((color >> 8) & 0xFF),
                           static_cast<std::uint8_t>((color >> 16) & 0xFF), ""});
    return pelmira::WriteForeignPaletteFile(path, pelmira::WriteFormatForPath(path), palette);
}
