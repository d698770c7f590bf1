// BinaryFormats.cpp: the byte-structured formats: Microsoft RIFF palettes, Adobe colour swatches
// (.aco), Adobe Swatch Exchange (.ase) and Adobe colour tables (.act). Every count and length a
// file states is checked against the bytes present before it is used.
#include <cstdint>
#include <string>

#include "ColorConvert.h"
#include "FormatSupport.h"

namespace pelmira::formats {

using namespace detail;

namespace {

TSwatch FromRgb(TRgb8 rgb, std::string name = {}) {
    return {rgb.R, rgb.G, rgb.B, std::move(name)};
}

// Names stored with their terminating zero (and some without): everything from the first
// zero unit on is dropped.
std::string NameFromUtf16BE(std::string_view units) {
    for (std::size_t i = 0; i + 1 < units.size(); i += 2) {
        if (units[i] == 0 && units[i + 1] == 0) {
            units = units.substr(0, i);
            break;
        }
    }
    return Utf8FromUtf16BE(units);
}

// A four-character code shown in a message, with anything unprintable as "?".
std::string Printable(std::string_view code) {
    std::string s(code);
    for (char& c : s) {
        if (c < 0x20 || c > 0x7E) {
            c = '?';
        }
    }
    return s;
}

// ---- RIFF "PAL " -------------------------------------------------------------------------

constexpr std::uint16_t kRiffPaletteVersion = 0x0300;

}  // namespace

TReadResult ReadRiffPal(std::string_view bytes) {
    if (TooLarge(bytes)) {
        return RefuseTooLarge("RIFF", bytes.size());
    }
    TByteCursor cursor(bytes);
    std::string_view id;
    std::uint32_t formSize = 0;
    std::string_view formType;
    if (!cursor.Take(4, id) || id != "RIFF" || !cursor.U32LE(formSize) || !cursor.Take(4, formType) ||
        formType != "PAL ") {
        return Refuse("RIFF", "not a RIFF \"PAL \" form");
    }
    while (cursor.Remaining() >= 8) {
        std::string_view chunkId;
        std::uint32_t length = 0;
        cursor.Take(4, chunkId);
        cursor.U32LE(length);
        std::string_view body;
        if (!cursor.Take(length, body)) {
            return Refuse("RIFF", {"chunk \"", Printable(chunkId), "\": length past end of file"});
        }
        cursor.Skip(length & 1);  // chunks are word-aligned; a missing final pad byte is harmless
        if (chunkId != "data") {
            continue;
        }
        TByteCursor data(body);
        std::uint16_t version = 0;
        std::uint16_t count = 0;
        if (!data.U16LE(version) || !data.U16LE(count)) {
            return Refuse("RIFF", "\"data\" chunk shorter than its header");
        }
        if (version != kRiffPaletteVersion) {
            return Refuse("RIFF", {"palette version 0x", HexText(version, 4, true), " unknown (0x0300 expected)"});
        }
        if (std::size_t{count} * 4 > data.Remaining()) {
            return Refuse("RIFF",
                          {TDecimal(count), " colours do not fit the ", TDecimal(length), "-byte \"data\" chunk"});
        }
        TPalette colors;
        colors.reserve(count);
        for (std::uint16_t k = 0; k < count; ++k) {
            std::string_view entry;
            data.Take(4, entry);  // R, G, B, flags; the flags (PC_RESERVED etc.) mean nothing here
            colors.push_back({static_cast<std::uint8_t>(entry[0]), static_cast<std::uint8_t>(entry[1]),
                              static_cast<std::uint8_t>(entry[2]), {}});
        }
        return Accept(TFormat::RiffPal, std::move(colors));
    }
    return Refuse("RIFF", "no \"data\" chunk");
}

// ---- ACO --------------------------------------------------------------------------------------

namespace {

const char* AcoSpaceName(std::uint16_t space) {
    switch (space) {
        case 3: return "Pantone";
        case 4: return "Focoltone";
        case 5: return "Trumatch";
        case 6: return "Toyo";
        case 10: return "HKS";
        default: return "unknown";
    }
}

// One colour record (space + four 16-bit values), converted; empty text on success.
std::string ReadAcoColor(TByteCursor& cursor, TRgb8& rgb) {
    std::uint16_t space = 0;
    std::uint16_t v[4] = {};
    if (!cursor.U16BE(space) || !cursor.U16BE(v[0]) || !cursor.U16BE(v[1]) || !cursor.U16BE(v[2]) ||
        !cursor.U16BE(v[3])) {
        return "past end of file";
    }
    constexpr double k16 = 65535.0;
    switch (space) {
        case 0:
            rgb = RgbFromUnit(v[0] / k16, v[1] / k16, v[2] / k16);
            return {};
        case 1:
            rgb = RgbFromHsb(v[0] * 360.0 / 65536.0, v[1] / k16, v[2] / k16);
            return {};
        case 2:
            rgb = RgbFromCmyk(1 - v[0] / k16, 1 - v[1] / k16, 1 - v[2] / k16, 1 - v[3] / k16);
            return {};
        case 7:
            rgb = RgbFromLab(v[0] / 100.0, static_cast<std::int16_t>(v[1]) / 100.0,
                             static_cast<std::int16_t>(v[2]) / 100.0);
            return {};
        case 8:
            rgb = RgbFromGray(1.0 - v[0] / 10000.0);
            return {};
        case 9:
            rgb = RgbFromCmyk(v[0] / 10000.0, v[1] / 10000.0, v[2] / 10000.0, v[3] / 10000.0);
            return {};
        default:
            return Text({"colour space ", TDecimal(space), " (", AcoSpaceName(space), ") cannot be converted to RGB"});
    }
}

// One section after its version word: count, then the colours (version 2: each with a name).
std::string ReadAcoSection(TByteCursor& cursor, int version, TPalette& colors) {
    std::uint16_t count = 0;
    if (!cursor.U16BE(count)) {
        return Text({"version ", TDecimal(version), " section: colour count past end of file"});
    }
    const std::size_t recordSize = version == 1 ? 10 : 14;
    if (std::size_t{count} * recordSize > cursor.Remaining()) {
        return Text({"version ", TDecimal(version), " section: header says ", TDecimal(count),
                     " colours, more than the file holds"});
    }
    colors.clear();
    colors.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        TRgb8 rgb;
        const std::string wrong = ReadAcoColor(cursor, rgb);
        if (!wrong.empty()) {
            return Text({"colour ", TDecimal(k + 1), ": ", wrong});
        }
        std::string name;
        if (version == 2) {
            std::uint32_t units = 0;
            std::string_view text;
            if (!cursor.U32BE(units) || units > cursor.Remaining() / 2 || !cursor.Take(std::size_t{units} * 2, text)) {
                return Text({"colour ", TDecimal(k + 1), ": name past end of file"});
            }
            name = NameFromUtf16BE(text);
        }
        colors.push_back(FromRgb(rgb, std::move(name)));
    }
    return {};
}

}  // namespace

// A version 1 section (no names) and, in files since Photoshop 6, a version 2 section with the
// same colours and their names; the second wins when present. Some files hold version 2 only.
TReadResult ReadAco(std::string_view bytes) {
    if (TooLarge(bytes)) {
        return RefuseTooLarge("ACO", bytes.size());
    }
    TByteCursor cursor(bytes);
    std::uint16_t version = 0;
    if (!cursor.U16BE(version)) {
        return Refuse("ACO", "file too short for a version");
    }
    if (version != 1 && version != 2) {
        return Refuse("ACO", {"version ", TDecimal(version), " unknown (1 or 2 expected)"});
    }
    TPalette colors;
    std::string wrong = ReadAcoSection(cursor, version, colors);
    if (wrong.empty() && version == 1 && cursor.Remaining() >= 4) {
        std::uint16_t next = 0;
        TByteCursor peek = cursor;
        peek.U16BE(next);
        if (next == 2) {
            cursor.Skip(2);
            wrong = ReadAcoSection(cursor, 2, colors);
        }
    }
    if (!wrong.empty()) {
        return Refuse("ACO", wrong);
    }
    return Accept(TFormat::Aco, std::move(colors));
}

// ---- ASE --------------------------------------------------------------------------------------

namespace {

constexpr std::uint16_t kAseGroupStart = 0xC001;
constexpr std::uint16_t kAseGroupEnd = 0xC002;
constexpr std::uint16_t kAseColor = 0x0001;

// The colour entry's body: name, model, values, colour type. Empty text on success.
std::string ReadAseColor(std::string_view body, TSwatch& swatch) {
    TByteCursor cursor(body);
    std::uint16_t units = 0;
    std::string_view name;
    if (!cursor.U16BE(units) || !cursor.Take(std::size_t{units} * 2, name)) {
        return "name past end of block";
    }
    std::string_view model;
    if (!cursor.Take(4, model)) {
        return "colour model past end of block";
    }
    int valueCount = 0;
    if (model == "RGB " || model == "LAB ") {
        valueCount = 3;
    } else if (model == "CMYK") {
        valueCount = 4;
    } else if (model == "Gray") {
        valueCount = 1;
    } else {
        return Text({"colour model \"", Printable(model), "\" unknown"});
    }
    float v[4] = {};
    for (int i = 0; i < valueCount; ++i) {
        if (!cursor.F32BE(v[i])) {
            return "values past end of block";
        }
    }
    // The colour type (global, spot, normal) that follows says nothing about the colour itself.
    TRgb8 rgb;
    if (model == "RGB ") {
        rgb = RgbFromUnit(v[0], v[1], v[2]);
    } else if (model == "LAB ") {
        rgb = RgbFromLab(v[0] * 100.0, v[1], v[2]);
    } else if (model == "CMYK") {
        rgb = RgbFromCmyk(v[0], v[1], v[2], v[3]);
    } else {
        rgb = RgbFromGray(v[0]);
    }
    swatch = FromRgb(rgb, NameFromUtf16BE(name));
    return {};
}

}  // namespace

// Blocks: group start (a name), group end, colour entry. Groups only order the colours, which
// are read in file order; a group left open at the end of the file is harmless, as Illustrator
// itself files colours under the most recent group.
TReadResult ReadAse(std::string_view bytes) {
    if (TooLarge(bytes)) {
        return RefuseTooLarge("ASE", bytes.size());
    }
    TByteCursor cursor(bytes);
    std::string_view signature;
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint32_t blocks = 0;
    if (!cursor.Take(4, signature) || signature != "ASEF") {
        return Refuse("ASE", "no \"ASEF\" signature");
    }
    if (!cursor.U16BE(major) || !cursor.U16BE(minor) || !cursor.U32BE(blocks)) {
        return Refuse("ASE", "header past end of file");
    }
    if (major != 1) {
        return Refuse("ASE", {"version ", TDecimal(major), ".", TDecimal(minor), " unknown (1.x expected)"});
    }
    // Each block has at least its 6-byte head; a count beyond that cannot be true.
    if (std::uint64_t{blocks} * 6 > cursor.Remaining()) {
        return Refuse("ASE", {"header says ", TDecimal(blocks), " blocks, more than the file holds"});
    }
    TPalette colors;
    std::size_t swatches = 0;
    std::size_t groups = 0;
    for (std::uint32_t b = 0; b < blocks; ++b) {
        std::uint16_t type = 0;
        std::uint32_t length = 0;
        if (!cursor.U16BE(type) || !cursor.U32BE(length)) {
            return Refuse("ASE", {"block ", TDecimal(b + 1), ": past end of file"});
        }
        // What a message calls this block: "swatch 3", "group 1" or "block 7".
        std::string_view kind = "block ";
        std::size_t number = std::size_t{b} + 1;
        if (type == kAseColor) {
            kind = "swatch ";
            number = ++swatches;
        } else if (type == kAseGroupStart || type == kAseGroupEnd) {
            kind = "group ";
            number = type == kAseGroupStart ? ++groups : groups;
        }
        std::string_view body;
        if (!cursor.Take(length, body)) {
            return Refuse("ASE", {kind, TDecimal(number), ": length past end of file"});
        }
        if (type != kAseColor) {
            continue;
        }
        TSwatch swatch;
        const std::string wrong = ReadAseColor(body, swatch);
        if (!wrong.empty()) {
            return Refuse("ASE", {kind, TDecimal(number), ": ", wrong});
        }
        colors.push_back(std::move(swatch));
    }
    return Accept(TFormat::Ase, std::move(colors));
}

// ---- ACT --------------------------------------------------------------------------------------

namespace {

constexpr std::size_t kActTableSize = 768;
constexpr std::size_t kActWithCount = 772;

}  // namespace

// 256 RGB triples; the 772-byte form adds the number of colours used and a transparent index
// (0xFFFF for none), big-endian. Transparency has no meaning for a colour cell and is dropped.
TReadResult ReadAct(std::string_view bytes) {
    if (TooLarge(bytes)) {
        return RefuseTooLarge("ACT", bytes.size());
    }
    if (bytes.size() != kActTableSize && bytes.size() != kActWithCount) {
        return Refuse("ACT", {"file is ", TDecimal(bytes.size()), " bytes; a colour table is 768 or 772 bytes"});
    }
    std::size_t count = 256;
    if (bytes.size() == kActWithCount) {
        TByteCursor tail(bytes.substr(kActTableSize));
        std::uint16_t used = 0;
        tail.U16BE(used);
        if (used > 256) {
            return Refuse("ACT", {"colour count ", TDecimal(used), " is over 256"});
        }
        count = used;
    }
    TPalette colors;
    colors.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        colors.push_back({static_cast<std::uint8_t>(bytes[3 * k]), static_cast<std::uint8_t>(bytes[3 * k + 1]),
                          static_cast<std::uint8_t>(bytes[3 * k + 2]), {}});
    }
    return Accept(TFormat::Act, std::move(colors));
}

// ---- writers ----------------------------------------------------------------------------------

namespace detail {

std::string WriteRiffBytes(const TPalette& colors) {
    const auto count = static_cast<std::uint32_t>(colors.size());
    std::string out = "RIFF";
    PutU32LE(out, 4 + 8 + 4 + 4 * count);
    out += "PAL data";
    PutU32LE(out, 4 + 4 * count);
    PutU16LE(out, kRiffPaletteVersion);
    PutU16LE(out, static_cast<std::uint16_t>(count));
    for (const TSwatch& c : colors) {
        out += static_cast<char>(c.R);
        out += static_cast<char>(c.G);
        out += static_cast<char>(c.B);
        out += '\0';
    }
    return out;
}

namespace {

// Name units for a 16-bit length field that counts the terminating zero too; a longer name is
// cut, never between the two halves of a surrogate pair.
std::string NameUnits(std::string_view utf8, std::size_t maxUnits) {
    std::string units = Utf16BEFromUtf8(utf8);
    if (units.size() / 2 > maxUnits) {
        std::size_t keep = maxUnits;
        const auto high = static_cast<unsigned char>(units[2 * (keep - 1)]);
        if (high >= 0xD8 && high <= 0xDB) {
            --keep;
        }
        units.resize(2 * keep);
    }
    return units;
}

void PutRgb16(std::string& out, const TSwatch& c) {
    PutU16BE(out, 0);  // RGB space
    PutU16BE(out, static_cast<std::uint16_t>(c.R * 257));
    PutU16BE(out, static_cast<std::uint16_t>(c.G * 257));
    PutU16BE(out, static_cast<std::uint16_t>(c.B * 257));
    PutU16BE(out, 0);
}

}  // namespace

// Both sections, so that readers that know only version 1 still find the colours.
std::string WriteAcoBytes(const TPalette& colors) {
    std::string out;
    const auto count = static_cast<std::uint16_t>(colors.size());
    PutU16BE(out, 1);
    PutU16BE(out, count);
    for (const TSwatch& c : colors) {
        PutRgb16(out, c);
    }
    PutU16BE(out, 2);
    PutU16BE(out, count);
    for (const TSwatch& c : colors) {
        PutRgb16(out, c);
        const std::string units = NameUnits(c.Name, 65534);
        PutU32BE(out, static_cast<std::uint32_t>(units.size() / 2 + 1));
        out += units;
        PutU16BE(out, 0);
    }
    return out;
}

std::string WriteAseBytes(const TPalette& colors) {
    std::string out = "ASEF";
    PutU16BE(out, 1);
    PutU16BE(out, 0);
    PutU32BE(out, static_cast<std::uint32_t>(colors.size()));
    for (const TSwatch& c : colors) {
        const std::string units = NameUnits(c.Name, 65534);
        std::string body;
        PutU16BE(body, static_cast<std::uint16_t>(units.size() / 2 + 1));
        body += units;
        PutU16BE(body, 0);
        body += "RGB ";
        PutF32BE(body, c.R / 255.0f);
        PutF32BE(body, c.G / 255.0f);
        PutF32BE(body, c.B / 255.0f);
        PutU16BE(body, 2);  // a normal (process) colour, neither global nor spot
        PutU16BE(out, kAseColor);
        PutU32BE(out, static_cast<std::uint32_t>(body.size()));
        out += body;
    }
    return out;
}

std::string WriteActBytes(const TPalette& colors) {
    std::string out(kActTableSize, '\0');
    for (std::size_t k = 0; k < colors.size() && k < 256; ++k) {
        out[3 * k] = static_cast<char>(colors[k].R);
        out[3 * k + 1] = static_cast<char>(colors[k].G);
        out[3 * k + 2] = static_cast<char>(colors[k].B);
    }
    PutU16BE(out, static_cast<std::uint16_t>(colors.size()));
    PutU16BE(out, 0xFFFF);  // no transparent colour
    return out;
}

}  // namespace detail

}  // namespace pelmira::formats
