// PaletteText.cpp: splitting and formatting of palette texts (see PaletteText.h).
#include "PaletteText.h"

#include <string>

namespace pelmira {
namespace {

// Takes the text before the next `separator` out of `rest`, removing the separator too.
// Without the separator the field is empty and `rest` stays as it is.
std::string TakeField(std::string_view& rest, char separator) {
    const std::size_t at = rest.find(separator);
    if (at == std::string_view::npos) {
        return {};
    }
    std::string field(rest.substr(0, at));
    rest.remove_prefix(at + 1);
    return field;
}

}  // namespace

TPaletteEntries SplitPaletteText(std::string_view text) {
    TPaletteEntries entries{};
    std::string_view rest = text;
    for (TPaletteEntry& entry : entries) {
        const std::size_t lf = rest.find('\n');
        if (lf == std::string_view::npos) {
            // No further LF: this and every later entry stay empty.
            break;
        }
        std::string_view line = rest.substr(0, lf + 1);
        rest.remove_prefix(lf + 1);
        entry.Index = TakeField(line, '=');
        entry.Red = TakeField(line, ',');
        entry.Green = TakeField(line, ',');
        // Blue ends at CR in a CR LF line; many editors end lines with LF alone.
        entry.Blue = TakeField(line, line.find('\r') != std::string_view::npos ? '\r' : '\n');
    }
    return entries;
}

std::uint8_t ComponentFromText(std::string_view field) {
    // value mod 256 digit by digit: exact for any number of digits, no overflow.
    unsigned value = 0;
    for (char ch : field) {
        if (ch < '0' || ch > '9') {
            break;
        }
        value = (value * 10 + static_cast<unsigned>(ch - '0')) & 0xFFu;
    }
    return static_cast<std::uint8_t>(value);
}

TPaletteColors ParsePaletteColors(std::string_view text) {
    const TPaletteEntries entries = SplitPaletteText(text);
    TPaletteColors colors{};
    for (int k = 0; k < kPaletteEntries; ++k) {
        const TPaletteEntry& e = entries[k];
        colors[k] = static_cast<std::uint32_t>(ComponentFromText(e.Red)) |
                    static_cast<std::uint32_t>(ComponentFromText(e.Green)) << 8 |
                    static_cast<std::uint32_t>(ComponentFromText(e.Blue)) << 16;
    }
    return colors;
}

// std::to_string rather than the printf family: the hook library carries this code, and the C
// runtime's formatter would bring its whole floating-point printer along.
std::string MakeColorText(std::uint32_t color) {
    return std::to_string(color & 0xFFu) + "," + std::to_string((color >> 8) & 0xFFu) + "," +
           std::to_string(color >> 16) + "\r\n";
}

std::string MakePaletteLine(int index, std::uint32_t color) {
    return std::to_string(index) + "=" + MakeColorText(color);
}

std::string FormatPaletteText(const TPaletteColors& colors) {
    std::string text;
    text.reserve(kPaletteEntries * 20);
    for (int k = 0; k < kPaletteEntries; ++k) {
        text += MakePaletteLine(k, colors[k]);
    }
    return text;
}

std::string PaletteSavePath(std::string_view chosenPath) {
    std::string path(chosenPath);
    if (path.find('.') == std::string::npos) {
        path += ".pli";
    }
    return path;
}

bool HasPaletteExtension(std::string_view path) {
    const std::size_t slash = path.find_last_of("\\/");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos) {
        return false;
    }
    const std::string_view ext = name.substr(dot + 1);
    if (ext.size() != 3) {
        return false;
    }
    static constexpr char kUpper[] = "PLI";
    for (std::size_t i = 0; i < 3; ++i) {
        char ch = ext[i];
        if (ch >= 'a' && ch <= 'z') {
            ch = static_cast<char>(ch - 'a' + 'A');
        }
        if (ch != kUpper[i]) {
            return false;
        }
    }
    return true;
}

std::string BuildPaletteFilter(std::span<const std::string> entries) {
    std::string filter;
    for (const std::string& entry : entries) {
        filter += entry;
        filter += '\0';
    }
    for (char& ch : filter) {
        if (ch == '|') {
            ch = '\0';
        }
    }
    filter += '\0';
    if (filter.size() == 1) {
        static constexpr char kBuiltIn[] = "pli (*.pli)\0*.pli\0ALL (*.*)\0*.*\0";
        filter.assign(kBuiltIn, sizeof kBuiltIn);  // the array's own NUL ends the list
    }
    return filter;
}

}  // namespace pelmira
