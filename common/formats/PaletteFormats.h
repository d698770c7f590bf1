// PaletteFormats.h: palette files of other tools (and Pelmira's own ".pli") read from bytes and
// written to bytes. Pure functions: no window, no file handle, no windows.h, so the same code
// serves the controller, the hook library, a command line converter and native test builds.
// Every reader is bounded: input over kMaxFormatFileSize is refused unread, and every count and
// length a file states is checked against the bytes present before anything is allocated for it.
// A refusal says which format and what is wrong, e.g. "ASE: swatch 3: length past end of file".
//
// Which format a file is (RecogniseFormat):
//   1. Content first: "GIMP Palette" first line -> GPL, "JASC-PAL" -> JASC, "RIFF" form "PAL " ->
//      RIFF, "ASEF" -> ASE (a UTF-8 byte-order mark before a text header is skipped).
//   2. Otherwise the extension: .gpl .txt .hex .aco .ase .act .pli name their format; the format's
//      own reader then accepts or refuses the content. A ".pal" file that is neither JASC nor RIFF
//      is refused: a headerless 768-byte colour table is read only from a file named ".act", since
//      any 768 bytes would pass as one and a broken JASC or RIFF file must not load as noise.
//   3. Otherwise (no or another extension) weak content checks: a "0=" first line -> PLI, a
//      well-formed ACO section -> ACO, lines of 8 hex digits -> Paint.NET, of 6 -> HEX.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmira::formats {

// One colour of a palette; Name is UTF-8 and empty where the format has no names.
struct TSwatch {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;
    std::string Name;

    friend bool operator==(const TSwatch&, const TSwatch&) = default;
};

// A palette: its colours in file order.
using TPalette = std::vector<TSwatch>;

enum class TFormat {
    Unknown,
    Pli,       // Pelmira: 16 lines "k=R,G,B" CR LF
    Gpl,       // GIMP palette
    JascPal,   // Paint Shop Pro "JASC-PAL" text
    RiffPal,   // Microsoft RIFF "PAL " form
    PaintNet,  // Paint.NET .txt, AARRGGBB lines
    Hex,       // RRGGBB lines
    Aco,       // Adobe Photoshop colour swatches
    Ase,       // Adobe Swatch Exchange
    Act,       // Adobe colour table
};

struct TFormatInfo {
    TFormat Format;
    const char* Extension;    // without the dot, lower case
    const char* Description;  // for filters and messages
    bool CarriesNames;        // false: the writer drops names
};

// Every known format, in the order an open box lists them (Pelmira's own first).
std::span<const TFormatInfo> AllFormats();
// The entry of `format`; Unknown gives an entry with empty extension.
const TFormatInfo& FormatInfo(TFormat format);

// Files larger than this are refused unread: real palettes are a few KiB at most (the largest
// seen in the wild, a 4,696-colour hex list, is under 40 KiB).
inline constexpr std::uint64_t kMaxFormatFileSize = 1024 * 1024;

// For callers that know the size before reading: the refusal text when a file of `fileSize`
// bytes is too large, nothing when it may be read.
std::optional<std::string> RefuseBySize(std::uint64_t fileSize);

struct TReadResult {
    bool Ok = false;
    TFormat Format = TFormat::Unknown;
    TPalette Colors;
    std::string Error;  // set when !Ok: "<FORMAT>: what is wrong"
};

struct TWriteResult {
    bool Ok = false;
    std::string Bytes;  // the whole file
    std::string Error;  // set when !Ok
};

// The format from the file name's extension alone (case-insensitive); Unknown when none fits.
// ".pal" gives Unknown: the extension is shared by JASC and RIFF and only content tells them apart.
TFormat FormatFromExtension(std::string_view fileName);

// The format of a file by the rules above; Unknown when none applies.
TFormat RecogniseFormat(std::string_view bytes, std::string_view fileName);

// Recognises and reads. `fileName` may be a full path; only its extension is used.
TReadResult ReadPalette(std::string_view bytes, std::string_view fileName);

// One reader by format (Unknown refuses).
TReadResult ReadPaletteAs(TFormat format, std::string_view bytes);

// The readers. `bytes` are the file's raw bytes.
TReadResult ReadPli(std::string_view bytes);
TReadResult ReadGpl(std::string_view bytes);
TReadResult ReadJascPal(std::string_view bytes);
TReadResult ReadRiffPal(std::string_view bytes);
TReadResult ReadPaintNet(std::string_view bytes);
TReadResult ReadHex(std::string_view bytes);
TReadResult ReadAco(std::string_view bytes);
TReadResult ReadAse(std::string_view bytes);
TReadResult ReadAct(std::string_view bytes);

// Writes `colors` in `format`. Formats without names drop them; ACO and ASE write RGB entries.
// Refused: more colours than the format holds (PLI 16, ACT 256, RIFF, ACO and ASE
// 65535) and
// Unknown. PLI with fewer than 16 colours fills the rest with white, as a new palette starts.
TWriteResult WritePalette(TFormat format, const TPalette& colors);

}  // namespace pelmira::formats
