// PaletteFormats.cpp: the format table, recognition, and the dispatch of reads and writes.
#include "PaletteFormats.h"

#include <cstdint>

#include "FormatSupport.h"

namespace pelmira::formats {

using namespace detail;

namespace {
// A constant table: no start-up code, no guard and no heap copy in every process that maps it.
constexpr TFormatInfo kFormats[] = {
    {TFormat::Pli, "pli", "Pelmira palette", false},
    {TFormat::Gpl, "gpl", "GIMP palette", true},
    {TFormat::JascPal, "pal", "JASC (Paint Shop Pro) palette", false},
    {TFormat::RiffPal, "pal", "Microsoft RIFF palette", false},
    {TFormat::PaintNet, "txt", "Paint.NET palette", false},
    {TFormat::Hex, "hex", "Hex colour list", false},
    {TFormat::Aco, "aco", "Adobe colour swatches", true},
    {TFormat::Ase, "ase", "Adobe Swatch Exchange", true},
    {TFormat::Act, "act", "Adobe colour table", false},
};
}  // namespace

std::span<const TFormatInfo> AllFormats() {
    return kFormats;
}

const TFormatInfo& FormatInfo(TFormat format) {
    for (const TFormatInfo& info : AllFormats()) {
        if (info.Format == format) {
            return info;
        }
    }
    static constexpr TFormatInfo kUnknown = {TFormat::Unknown, "", "unknown", false};
    return kUnknown;
}

std::optional<std::string> RefuseBySize(std::uint64_t fileSize) {
    if (fileSize <= kMaxFormatFileSize) {
        return std::nullopt;
    }
    return Text({"file is ", TDecimal(fileSize), " bytes; palette files over 1 MiB are refused"});
}

namespace {

std::string LowerExtension(std::string_view fileName) {
    const std::size_t slash = fileName.find_last_of("\\/");
    if (slash != std::string_view::npos) {
        fileName.remove_prefix(slash + 1);
    }
    const std::size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos) {
        return {};
    }
    std::string ext(fileName.substr(dot + 1));
    for (char& c : ext) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return ext;
}

// The first line of a text file, without byte-order mark and surrounding blanks.
std::string_view FirstLine(std::string_view bytes) {
    const std::string_view text = WithoutBom(bytes);
    return TrimSpace(text.substr(0, text.find_first_of("\r\n")));
}

TFormat BySignature(std::string_view bytes) {
    if (bytes.size() >= 12 && bytes.starts_with("RIFF") && bytes.substr(8, 4) == "PAL ") {
        return TFormat::RiffPal;
    }
    if (bytes.starts_with("ASEF")) {
        return TFormat::Ase;
    }
    const std::string_view first = FirstLine(bytes.substr(0, 64));
    if (first == "GIMP Palette") {
        return TFormat::Gpl;
    }
    if (first == "JASC-PAL") {
        return TFormat::JascPal;
    }
    return TFormat::Unknown;
}

// Weak evidence, used only when neither a signature nor the extension decided.
TFormat ByContent(std::string_view bytes) {
    const std::string_view first = FirstLine(bytes.substr(0, 256));
    if (first.starts_with("0=")) {
        return TFormat::Pli;
    }
    if (bytes.size() >= 4 && (bytes[0] == 0 && (bytes[1] == 1 || bytes[1] == 2)) && ReadAco(bytes).Ok) {
        return TFormat::Aco;
    }
    if (const TReadResult txt = ReadPaintNet(bytes); txt.Ok && !txt.Colors.empty()) {
        // Bare hex lines fit both lists: eight digits are Paint.NET's AARRGGBB, six plain RRGGBB.
        for (std::string_view line : SplitLines(WithoutBom(bytes))) {
            line = TrimSpace(line);
            if (!line.empty() && line[0] != ';') {
                return line.size() == 8 ? TFormat::PaintNet : TFormat::Hex;
            }
        }
    }
    if (const TReadResult hex = ReadHex(bytes); hex.Ok && !hex.Colors.empty()) {
        return TFormat::Hex;
    }
    return TFormat::Unknown;
}

}  // namespace

TFormat FormatFromExtension(std::string_view fileName) {
    const std::string ext = LowerExtension(fileName);
    if (ext.empty() || ext == "pal") {
        return TFormat::Unknown;
    }
    for (const TFormatInfo& info : AllFormats()) {
        if (ext == info.Extension) {
            return info.Format;
        }
    }
    return TFormat::Unknown;
}

TFormat RecogniseFormat(std::string_view bytes, std::string_view fileName) {
    if (const TFormat bySignature = BySignature(bytes); bySignature != TFormat::Unknown) {
        return bySignature;
    }
    if (LowerExtension(fileName) == "pal") {
        return TFormat::Unknown;
    }
    if (const TFormat byExtension = FormatFromExtension(fileName); byExtension != TFormat::Unknown) {
        return byExtension;
    }
    return bytes.size() > kMaxFormatFileSize ? TFormat::Unknown : ByContent(bytes);
}

TReadResult ReadPaletteAs(TFormat format, std::string_view bytes) {
    switch (format) {
        case TFormat::Pli: return ReadPli(bytes);
        case TFormat::Gpl: return ReadGpl(bytes);
        case TFormat::JascPal: return ReadJascPal(bytes);
        case TFormat::RiffPal: return ReadRiffPal(bytes);
        case TFormat::PaintNet: return ReadPaintNet(bytes);
        case TFormat::Hex: return ReadHex(bytes);
        case TFormat::Aco: return ReadAco(bytes);
        case TFormat::Ase: return ReadAse(bytes);
        case TFormat::Act: return ReadAct(bytes);
        case TFormat::Unknown: break;
    }
    return Refuse("Palette", "not a format Pelmira reads");
}

TReadResult ReadPalette(std::string_view bytes, std::string_view fileName) {
    if (TooLarge(bytes)) {
        return RefuseTooLarge("Palette", bytes.size());
    }
    const TFormat format = RecogniseFormat(bytes, fileName);
    if (format == TFormat::Unknown && LowerExtension(fileName) == "pal") {
        return Refuse("PAL", "neither a JASC-PAL text nor a RIFF palette (a headerless 768-byte colour "
                             "table is read only from a file named .act)");
    }
    return ReadPaletteAs(format, bytes);
}

TWriteResult WritePalette(TFormat format, const TPalette& colors) {
    const char* tag = "";
    std::size_t limit = 0;
    std::string (*write)(const TPalette&) = nullptr;
    switch (format) {
        case TFormat::Pli: tag = "PLI", limit = 16, write = WritePliText; break;
        case TFormat::Gpl: tag = "GPL", limit = SIZE_MAX, write = WriteGplText; break;
        case TFormat::JascPal: tag = "JASC", limit = SIZE_MAX, write = WriteJascText; break;
        case TFormat::RiffPal: tag = "RIFF", limit = 65535, write = WriteRiffBytes; break;
        case TFormat::PaintNet: tag = "Paint.NET", limit = SIZE_MAX, write = WritePaintNetText; break;
        case TFormat::Hex: tag = "HEX", limit = SIZE_MAX, write = WriteHexText; break;
        case TFormat::Aco: tag = "ACO", limit = 65535, write = WriteAcoBytes; break;
        case TFormat::Ase: tag = "ASE", limit = 65535, write = WriteAseBytes; break;
        case TFormat::Act: tag = "ACT", limit = 256, write = WriteActBytes; break;
        case TFormat::Unknown: return RefuseWrite("Palette", "no format chosen");
    }
    if (colors.size() > limit) {
        return RefuseWrite(tag,
                           Text({TDecimal(colors.size()), " colours; the format holds at most ", TDecimal(limit)}));
    }
    TWriteResult result;
    result.Ok = true;
    result.Bytes = write(colors);
    return result;
}

}  // namespace pelmira::formats
