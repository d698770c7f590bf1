// TextFormats.cpp: the line-based formats: Pelmira's ".pli", GIMP ".gpl", JASC-PAL, Paint.NET
// ".txt" and ".hex". All accept LF, CR LF or CR line ends, a UTF-8 byte-order mark and a missing
// final line end, because files in the wild come with every combination.
#include <string>

#include "FormatSupport.h"

namespace pelmira::formats {

using namespace detail;

namespace {

std::string LineText(std::size_t lineIndex) {
    return Text({"line ", TDecimal(lineIndex + 1)});
}

// A decimal component 0-255 at the start of `rest` (after spaces and tabs), removed from `rest`.
// Longer digit runs are read in full so that "1000" is "out of range", not "100".
enum class TNumber { Ok, Missing, OutOfRange };

TNumber TakeComponent(std::string_view& rest, std::uint8_t& value) {
    std::size_t i = 0;
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) {
        ++i;
    }
    const std::size_t start = i;
    unsigned v = 0;
    while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') {
        if (v <= 255) {
            v = v * 10 + static_cast<unsigned>(rest[i] - '0');
        }
        ++i;
    }
    if (i == start) {
        return TNumber::Missing;
    }
    rest.remove_prefix(i);
    if (v > 255) {
        return TNumber::OutOfRange;
    }
    value = static_cast<std::uint8_t>(v);
    return TNumber::Ok;
}

// "R G B" at the start of a line, separated by spaces or tabs. On success `rest` is what
// follows the third number.
std::string TakeTriple(std::string_view& rest, TSwatch& swatch) {
    std::uint8_t* parts[3] = {&swatch.R, &swatch.G, &swatch.B};
    for (std::uint8_t* part : parts) {
        switch (TakeComponent(rest, *part)) {
            case TNumber::Ok:
                break;
            case TNumber::Missing:
                return "expected three numbers 0-255";
            case TNumber::OutOfRange:
                return "a number is over 255";
        }
        if (!rest.empty() && rest[0] != ' ' && rest[0] != '\t') {
            return "expected three numbers 0-255";
        }
    }
    return {};
}

// True when every character is a hex digit.
bool AllHex(std::string_view s) {
    for (char c : s) {
        if (HexDigit(c) < 0) {
            return false;
        }
    }
    return true;
}

std::uint8_t HexByte(std::string_view s, std::size_t at) {
    return static_cast<std::uint8_t>(HexDigit(s[at]) << 4 | HexDigit(s[at + 1]));
}

// The pli reader's component: leading decimal digits modulo 256, as the dialog's own loader
// reads them, so a file that loads there gives the same colours here.
std::uint8_t PliComponent(std::string_view field) {
    unsigned value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') {
            break;
        }
        value = (value * 10 + static_cast<unsigned>(c - '0')) & 0xFFu;
    }
    return static_cast<std::uint8_t>(value);
}

std::string_view TakeUntil(std::string_view& rest, char separator) {
    const std::size_t at = rest.find(separator);
    if (at == std::string_view::npos) {
        const std::string_view all = rest;
        rest = {};
        return all;
    }
    const std::string_view field = rest.substr(0, at);
    rest.remove_prefix(at + 1);
    return field;
}

}  // namespace

// Sixteen lines "k=R,G,B"; the index is not interpreted, missing lines are black, and the
// components are read as leniently as the dialog reads them. Unlike the dialog's loader (which
// hands the raw texts to the dialog's boxes) a line ended by LF alone keeps its blue and a last
// line without a line end is read: an imported file should give the colours it shows.
TReadResult ReadPli(std::string_view bytes) {
    if (TooLarge(bytes)) {
        return RefuseTooLarge("PLI", bytes.size());
    }
    const std::vector<std::string_view> lines = SplitLines(WithoutBom(bytes));
    TPalette colors(16);
    for (std::size_t k = 0; k < 16 && k < lines.size(); ++k) {
        std::string_view rest = lines[k];
        if (rest.find('=') != std::string_view::npos) {
            TakeUntil(rest, '=');
        }
        colors[k].R = PliComponent(TakeUntil(rest, ','));
        colors[k].G = PliComponent(TakeUntil(rest, ','));
        colors[k].B = PliComponent(rest);
    }
    return Accept(TFormat::Pli, std::move(colors));
}

TReadResult ReadGpl(std::string_view bytes) {
    if (TooLarge(bytes)) {
        return RefuseTooLarge("GPL", bytes.size());
    }
    const std::vector<std::string_view> lines = SplitLines(WithoutBom(bytes));
    if (lines.empty() || TrimSpace(lines[0]) != "GIMP Palette") {
        return Refuse("GPL", "first line is not \"GIMP Palette\"");
    }
    TPalette colors;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string_view line = TrimSpace(lines[i]);
        if (line.empty() || line[0] == '#' || line.starts_with("Name:") || line.starts_with("Columns:")) {
            continue;
        }
        std::string_view rest = line;
        TSwatch swatch;
        const std::string wrong = TakeTriple(rest, swatch);
        if (!wrong.empty()) {
            return Refuse("GPL", {LineText(i), ": ", wrong});
        }
        swatch.Name = TrimSpace(rest);
        colors.push_back(std::move(swatch));
    }
    return Accept(TFormat::Gpl, std::move(colors));
}

TReadResult ReadJascPal(std::string_view bytes) {
    if (TooLarge(bytes)) {
        return RefuseTooLarge("JASC", bytes.size());
    }
    const std::vector<std::string_view> lines = SplitLines(WithoutBom(bytes));
    if (lines.empty() || TrimSpace(lines[0]) != "JASC-PAL") {
        return Refuse("JASC", "first line is not \"JASC-PAL\"");
    }
    if (lines.size() < 3) {
        return Refuse("JASC", "the version and colour count lines are missing");
    }
    const std::string_view countText = TrimSpace(lines[2]);
    if (countText.empty() || countText.size() > 7 || countText.find_first_not_of("0123456789") != std::string_view::npos) {
        return Refuse("JASC", "line 3: the colour count is missing or too large");
    }
    const std::size_t count = std::stoul(std::string(countText));
    if (count > lines.size() - 3) {
        return Refuse("JASC", {"header says ", TDecimal(count), " colours, the file has ", TDecimal(lines.size() - 3),
                               " more lines"});
    }
    TPalette colors;
    colors.reserve(count);
    for (std::size_t i = 3; colors.size() < count; ++i) {
        if (i >= lines.size()) {
            return Refuse("JASC",
                          {"header says ", TDecimal(count), " colours, the file has ", TDecimal(colors.size())});
        }
        std::string_view rest = TrimSpace(lines[i]);
        if (rest.empty()) {
            continue;
        }
        TSwatch swatch;
        const std::string wrong = TakeTriple(rest, swatch);
        if (!wrong.empty()) {
            return Refuse("JASC", {LineText(i), ": ", wrong});
        }
        colors.push_back(swatch);
    }
    return Accept(TFormat::JascPal, std::move(colors));
}

// Paint.NET: "AARRGGBB" lines and ";" comments. Alpha is dropped (a palette cell is opaque).
// Six digits are taken as RRGGBB, as Paint.NET itself accepts them.
TReadResult ReadPaintNet(std::string_view bytes) {
    if (TooLarge(bytes)) {
        return RefuseTooLarge("Paint.NET", bytes.size());
    }
    const std::vector<std::string_view> lines = SplitLines(WithoutBom(bytes));
    TPalette colors;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TrimSpace(lines[i]);
        if (line.empty() || line[0] == ';') {
            continue;
        }
        if ((line.size() != 8 && line.size() != 6) || !AllHex(line)) {
            return Refuse("Paint.NET", {LineText(i), ": expected AARRGGBB in hex"});
        }
        const std::size_t at = line.size() - 6;
        colors.push_back({HexByte(line, at), HexByte(line, at + 2), HexByte(line, at + 4), {}});
    }
    return Accept(TFormat::PaintNet, std::move(colors));
}

// One colour a line, "RRGGBB" or "#RRGGBB" in either case; eight digits are RRGGBBAA and the
// alpha is dropped. A "#" line that is not a colour is a comment, as lospec-style lists start.
TReadResult ReadHex(std::string_view bytes) {
    if (TooLarge(bytes)) {
        return RefuseTooLarge("HEX", bytes.size());
    }
    const std::vector<std::string_view> lines = SplitLines(WithoutBom(bytes));
    TPalette colors;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view line = TrimSpace(lines[i]);
        if (line.empty() || line[0] == ';') {
            continue;
        }
        // The first word is the colour; what follows it on the line is a label we do not keep.
        const std::string_view word = line.substr(0, line.find_first_of(" \t"));
        const std::string_view digits = word[0] == '#' ? word.substr(1) : word;
        if ((digits.size() == 6 || digits.size() == 8) && AllHex(digits)) {
            colors.push_back({HexByte(digits, 0), HexByte(digits, 2), HexByte(digits, 4), {}});
        } else if (line[0] != '#') {
            return Refuse("HEX", {LineText(i), ": expected RRGGBB in hex"});
        }
    }
    return Accept(TFormat::Hex, std::move(colors));
}

namespace detail {

namespace {

// Names written on one line: a CR or LF inside a name would start a new record.
std::string OneLine(std::string_view name) {
    std::string s(name);
    for (char& c : s) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return std::string(TrimSpace(s));
}

}  // namespace

std::string WritePliText(const TPalette& colors) {
    std::string out;
    for (std::size_t k = 0; k < 16; ++k) {
        const TSwatch white{255, 255, 255, {}};
        const TSwatch& c = k < colors.size() ? colors[k] : white;
        Append(out, {TDecimal(k), "=", TDecimal(c.R), ",", TDecimal(c.G), ",", TDecimal(c.B), "\r\n"});
    }
    return out;
}

std::string WriteGplText(const TPalette& colors) {
    std::string out = "GIMP Palette\nName: Pelmira\nColumns: 16\n#\n";
    for (const TSwatch& c : colors) {
        Append(out, {PaddedDecimal(c.R, 3), " ", PaddedDecimal(c.G, 3), " ", PaddedDecimal(c.B, 3)});
        const std::string name = OneLine(c.Name);
        if (!name.empty()) {
            out += '\t';
            out += name;
        }
        out += '\n';
    }
    return out;
}

std::string WriteJascText(const TPalette& colors) {
    std::string out = Text({"JASC-PAL\r\n0100\r\n", TDecimal(colors.size()), "\r\n"});
    for (const TSwatch& c : colors) {
        Append(out, {TDecimal(c.R), " ", TDecimal(c.G), " ", TDecimal(c.B), "\r\n"});
    }
    return out;
}

std::string WritePaintNetText(const TPalette& colors) {
    std::string out = Text({"; paint.net Palette File\r\n; Colors: ", TDecimal(colors.size()), "\r\n"});
    for (const TSwatch& c : colors) {
        Append(out, {"FF", HexText(c.R, 2, true), HexText(c.G, 2, true), HexText(c.B, 2, true), "\r\n"});
    }
    return out;
}

std::string WriteHexText(const TPalette& colors) {
    std::string out;
    for (const TSwatch& c : colors) {
        Append(out, {HexText(c.R, 2, false), HexText(c.G, 2, false), HexText(c.B, 2, false), "\r\n"});
    }
    return out;
}

}  // namespace detail

}  // namespace pelmira::formats
