// FormatSupport.cpp: cursor, lines and UTF-16 helpers of the palette formats (FormatSupport.h).
#include "FormatSupport.h"

#include <bit>
#include <utility>

namespace pelmira::formats::detail {

bool TByteCursor::Skip(std::size_t count) {
    if (count > Remaining()) {
        return false;
    }
    pos_ += count;
    return true;
}

bool TByteCursor::Take(std::size_t count, std::string_view& out) {
    if (count > Remaining()) {
        return false;
    }
    out = bytes_.substr(pos_, count);
    pos_ += count;
    return true;
}

namespace {

std::uint32_t Byte(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

}  // namespace

bool TByteCursor::U16BE(std::uint16_t& out) {
    std::string_view b;
    if (!Take(2, b)) {
        return false;
    }
    out = static_cast<std::uint16_t>(Byte(b, 0) << 8 | Byte(b, 1));
    return true;
}

bool TByteCursor::U32BE(std::uint32_t& out) {
    std::string_view b;
    if (!Take(4, b)) {
        return false;
    }
    out = Byte(b, 0) << 24 | Byte(b, 1) << 16 | Byte(b, 2) << 8 | Byte(b, 3);
    return true;
}

bool TByteCursor::U16LE(std::uint16_t& out) {
    std::string_view b;
    if (!Take(2, b)) {
        return false;
    }
    out = static_cast<std::uint16_t>(Byte(b, 1) << 8 | Byte(b, 0));
    return true;
}

bool TByteCursor::U32LE(std::uint32_t& out) {
    std::string_view b;
    if (!Take(4, b)) {
        return false;
    }
    out = Byte(b, 3) << 24 | Byte(b, 2) << 16 | Byte(b, 1) << 8 | Byte(b, 0);
    return true;
}

bool TByteCursor::F32BE(float& out) {
    std::uint32_t bits = 0;
    if (!U32BE(bits)) {
        return false;
    }
    out = std::bit_cast<float>(bits);
    return true;
}

namespace {

// value / 10, leaving the remainder, in 16-bit steps of 32-bit division: 32-bit code would
// otherwise call the runtime's 64-bit division, whose code is here for these digits alone.
unsigned TakeLastDigit(unsigned long long& value) {
    unsigned long long quotient = 0;
    std::uint32_t rest = 0;
    for (int shift = 48; shift >= 0; shift -= 16) {
        const std::uint32_t part = rest << 16 | static_cast<std::uint32_t>(value >> shift & 0xFFFFu);
        quotient |= static_cast<unsigned long long>(part / 10) << shift;
        rest = part % 10;
    }
    value = quotient;
    return rest;
}

}  // namespace

void TDecimal::Set(bool negative, unsigned long long magnitude) {
    char* at = text_ + kCapacity;
    do {
        *--at = static_cast<char>('0' + TakeLastDigit(magnitude));
    } while (magnitude != 0);
    if (negative) {
        *--at = '-';
    }
    size_ = static_cast<std::size_t>(text_ + kCapacity - at);
}

void Append(std::string& out, std::initializer_list<std::string_view> parts) {
    std::size_t size = out.size();
    for (std::string_view part : parts) {
        size += part.size();
    }
    out.reserve(size);
    for (std::string_view part : parts) {
        out.append(part);
    }
}

std::string Text(std::initializer_list<std::string_view> parts) {
    std::string text;
    Append(text, parts);
    return text;
}

TReadResult Refuse(std::string_view tag, std::string_view what) {
    return Refuse(tag, {what});
}

TReadResult Refuse(std::string_view tag, std::initializer_list<std::string_view> what) {
    TReadResult r;
    r.Error.append(tag).append(": ");
    Append(r.Error, what);
    return r;
}

TWriteResult RefuseWrite(std::string_view tag, std::string_view what) {
    TWriteResult r;
    r.Error.append(tag).append(": ").append(what);
    return r;
}

bool TooLarge(std::string_view bytes) {
    return bytes.size() > kMaxFormatFileSize;
}

TReadResult RefuseTooLarge(std::string_view tag, std::size_t size) {
    return Refuse(tag, {"file is ", TDecimal(size), " bytes; palette files over 1 MiB are refused"});
}

std::string_view WithoutBom(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    return text;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\n' && c != '\r') {
            continue;
        }
        lines.push_back(text.substr(start, i - start));
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
        }
        start = i + 1;
    }
    if (start < text.size()) {
        lines.push_back(text.substr(start));
    }
    return lines;
}

std::string HexText(unsigned value, int digits, bool upper) {
    const char* const set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int k = digits - 1; k >= 0; --k, value >>= 4) {
        text[static_cast<std::size_t>(k)] = set[value & 0xFu];
    }
    return text;
}

std::string PaddedDecimal(unsigned value, std::size_t width) {
    const std::string_view digits = TDecimal(value);
    std::string text(digits.size() < width ? width - digits.size() : 0, ' ');
    text += digits;
    return text;
}

std::string_view TrimSpace(std::string_view s) {
    constexpr std::string_view kSpace = " \t\r\n";
    const std::size_t first = s.find_first_not_of(kSpace);
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(kSpace) - first + 1);
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

namespace {

void PutUtf8(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

constexpr std::uint32_t kReplacement = 0xFFFD;

}  // namespace

std::string Utf8FromUtf16BE(std::string_view units) {
    std::string out;
    const std::size_t count = units.size() / 2;
    auto unit = [&](std::size_t i) { return Byte(units, 2 * i) << 8 | Byte(units, 2 * i + 1); };
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count) {
            const std::uint32_t low = unit(i + 1);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                PutUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        PutUtf8(out, u >= 0xD800 && u <= 0xDFFF ? kReplacement : u);
    }
    return out;
}

std::string Utf16BEFromUtf8(std::string_view utf8) {
    std::string out;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const std::uint32_t lead = Byte(utf8, i);
        std::uint32_t cp = kReplacement;
        std::size_t length = 1;
        std::uint32_t minimum = 0;
        if (lead < 0x80) {
            cp = lead;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, cp = lead & 0x1F, minimum = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, cp = lead & 0x0F, minimum = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, cp = lead & 0x07, minimum = 0x10000;
        }
        bool valid = lead < 0x80 || length > 1;
        if (length > 1) {
            for (std::size_t k = 1; k < length; ++k) {
                if (i + k >= utf8.size() || (Byte(utf8, i + k) & 0xC0) != 0x80) {
                    valid = false;
                    length = k;
                    break;
                }
                cp = cp << 6 | (Byte(utf8, i + k) & 0x3F);
            }
            if (valid && (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) {
                valid = false;
            }
        }
        if (!valid) {
            cp = kReplacement;
        }
        i += length;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            PutU16BE(out, static_cast<std::uint16_t>(0xD800 + (cp >> 10)));
            PutU16BE(out, static_cast<std::uint16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            PutU16BE(out, static_cast<std::uint16_t>(cp));
        }
    }
    return out;
}

void PutU16BE(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v >> 8);
    out += static_cast<char>(v & 0xFF);
}

void PutU32BE(std::string& out, std::uint32_t v) {
    PutU16BE(out, static_cast<std::uint16_t>(v >> 16));
    PutU16BE(out, static_cast<std::uint16_t>(v & 0xFFFF));
}

void PutU16LE(std::string& out, std::uint16_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void PutU32LE(std::string& out, std::uint32_t v) {
    PutU16LE(out, static_cast<std::uint16_t>(v & 0xFFFF));
    PutU16LE(out, static_cast<std::uint16_t>(v >> 16));
}

void PutF32BE(std::string& out, float v) {
    PutU32BE(out, std::bit_cast<std::uint32_t>(v));
}

TReadResult Accept(TFormat format, TPalette colors) {
    TReadResult r;
    r.Ok = true;
    r.Format = format;
    r.Colors = std::move(colors);
    return r;
}

}  // namespace pelmira::formats::detail
