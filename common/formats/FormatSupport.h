// FormatSupport.h: what the readers and writers share and callers do not need: a bounds-checked
// cursor over bytes, text lines, UTF-16BE <-> UTF-8, and the shape of a refusal.
#pragma once

#include <cstddef>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "PaletteFormats.h"

namespace pelmira::formats::detail {

// A cursor that never reads past its end: every read says whether the bytes were there, and a
// failed read moves nothing.
class TByteCursor {
public:
    explicit TByteCursor(std::string_view bytes) : bytes_(bytes) {}

    std::size_t Remaining() const { return bytes_.size() - pos_; }
    std::size_t Position() const { return pos_; }
    bool Skip(std::size_t count);
    bool Take(std::size_t count, std::string_view& out);
    bool U16BE(std::uint16_t& out);
    bool U32BE(std::uint32_t& out);
    bool U16LE(std::uint16_t& out);
    bool U32LE(std::uint32_t& out);
    bool F32BE(float& out);

private:
    std::string_view bytes_;
    std::size_t pos_ = 0;
};

// A whole number's decimal text, held in place: no allocation, nothing to free.
class TDecimal {
public:
    template <std::integral T>
    explicit TDecimal(T value) {
        const auto magnitude = static_cast<unsigned long long>(value);
        Set(value < 0, value < 0 ? 0ull - magnitude : magnitude);
    }
    operator std::string_view() const { return {text_ + kCapacity - size_, size_}; }

private:
    void Set(bool negative, unsigned long long magnitude);
    static constexpr std::size_t kCapacity = 21;  // a sign and 20 digits
    char text_[kCapacity];
    std::size_t size_ = 0;
};

// Messages and file lines are built from their parts in one call each: a chain of `+` would
// make a temporary string (allocation and clean-up code) per part, in every reader and writer
// of a library that every program on the desktop maps.
std::string Text(std::initializer_list<std::string_view> parts);
void Append(std::string& out, std::initializer_list<std::string_view> parts);

// A failed read: "<tag>: <what>".
TReadResult Refuse(std::string_view tag, std::string_view what);
TReadResult Refuse(std::string_view tag, std::initializer_list<std::string_view> what);
TWriteResult RefuseWrite(std::string_view tag, std::string_view what);
// The size check every reader makes first; an empty optional-like result (Ok) when it passes.
bool TooLarge(std::string_view bytes);
TReadResult RefuseTooLarge(std::string_view tag, std::size_t size);

// The text without a leading UTF-8 byte-order mark.
std::string_view WithoutBom(std::string_view text);

// Lines ended by LF, CR LF or a lone CR; the ends are not part of the lines. A final line
// without an end is a line too (unless empty).
std::vector<std::string_view> SplitLines(std::string_view text);

std::string_view TrimSpace(std::string_view s);  // spaces, tabs, CR and LF at both ends

int HexDigit(char c);  // 0-15, or -1

// Number texts without the printf family, whose floating-point printer the hook library would
// otherwise carry: `digits` hex digits (upper or lower case, leading zeros), and decimal
// right-aligned in `width` characters.
std::string HexText(unsigned value, int digits, bool upper);
std::string PaddedDecimal(unsigned value, std::size_t width);

// UTF-16BE code units (2 bytes each) to UTF-8; unpaired surrogates become U+FFFD.
std::string Utf8FromUtf16BE(std::string_view units);
// UTF-8 to UTF-16BE bytes; invalid sequences become U+FFFD.
std::string Utf16BEFromUtf8(std::string_view utf8);

void PutU16BE(std::string& out, std::uint16_t v);
void PutU32BE(std::string& out, std::uint32_t v);
void PutU16LE(std::string& out, std::uint16_t v);
void PutU32LE(std::string& out, std::uint32_t v);
void PutF32BE(std::string& out, float v);

// The writers' texts (TextFormats.cpp) and byte layouts (BinaryFormats.cpp), without checks.
std::string WritePliText(const TPalette& colors);
std::string WriteGplText(const TPalette& colors);
std::string WriteJascText(const TPalette& colors);
std::string WritePaintNetText(const TPalette& colors);
std::string WriteHexText(const TPalette& colors);
std::string WriteRiffBytes(const TPalette& colors);
std::string WriteAcoBytes(const TPalette& colors);
std::string WriteAseBytes(const TPalette& colors);
std::string WriteActBytes(const TPalette& colors);

// The readers' success.
TReadResult Accept(TFormat format, TPalette colors);

}  // namespace pelmira::formats::detail
