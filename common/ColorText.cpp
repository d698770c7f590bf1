// ColorText.cpp: reading and writing colours as text (see ColorText.h).
#include "ColorText.h"

#include <array>

namespace pelmira {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::optional<TTextColor> ParseHex(std::string_view digits) {
    std::array<int, 6> v{};
    if (digits.size() != 3 && digits.size() != 6) return std::nullopt;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        v[i] = HexDigit(digits[i]);
        if (v[i] < 0) return std::nullopt;
    }
    if (digits.size() == 3) {
        // Each short digit stands for itself twice: "#F80" is "#FF8800".
        return TTextColor{static_cast<std::uint8_t>(v[0] * 17), static_cast<std::uint8_t>(v[1] * 17),
                          static_cast<std::uint8_t>(v[2] * 17)};
    }
    return TTextColor{static_cast<std::uint8_t>(v[0] * 16 + v[1]), static_cast<std::uint8_t>(v[2] * 16 + v[3]),
                      static_cast<std::uint8_t>(v[4] * 16 + v[5])};
}

// One decimal part 0..255 with blanks around it; at most three digits, so that a long run of
// zeros or digits is refused rather than overflowing.
std::optional<std::uint8_t> ParsePart(std::string_view part) {
    part = Trimmed(part);
    if (part.empty() || part.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : part) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > 255) return std::nullopt;
    return static_cast<std::uint8_t>(value);
}

std::optional<TTextColor> ParseTriple(std::string_view text) {
    std::array<std::uint8_t, 3> parts{};
    for (int i = 0; i < 3; ++i) {
        const std::size_t comma = text.find(',');
        if ((i < 2) != (comma != std::string_view::npos)) return std::nullopt;
        const auto part = ParsePart(text.substr(0, comma));
        if (!part) return std::nullopt;
        parts[i] = *part;
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
    }
    return TTextColor{parts[0], parts[1], parts[2]};
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

}  // namespace

std::optional<TTextColor> ParseColorText(std::string_view text) {
    text = Trimmed(text);
    if (text.empty()) return std::nullopt;
    if (text.front() == '#') return ParseHex(text.substr(1));
    if (StartsWithNoCase(text, "rgb")) {
        std::string_view rest = Trimmed(text.substr(3));
        if (rest.size() < 2 || rest.front() != '(' || rest.back() != ')') return std::nullopt;
        return ParseTriple(rest.substr(1, rest.size() - 2));
    }
    if (text.find(',') != std::string_view::npos) return ParseTriple(text);
    // Without the mark only the long form: three bare digits are more likely a number than a colour.
    if (text.size() == 6) return ParseHex(text);
    return std::nullopt;
}

bool IsPlainNumber(std::string_view text) {
    text = Trimmed(text);
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

std::string HexColorText(TTextColor color) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text = "#";
    for (std::uint8_t v : {color.R, color.G, color.B}) {
        text += kDigits[v >> 4];
        text += kDigits[v & 0xF];
    }
    return text;
}

std::string TripleColorText(TTextColor color) {
    return std::to_string(color.R) + ", " + std::to_string(color.G) + ", " + std::to_string(color.B);
}

}  // namespace pelmira
