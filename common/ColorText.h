// ColorText.h: a colour as the text people copy between programs. Reading takes "#RGB",
// "#RRGGBB", "RRGGBB", "r,g,b" and "rgb(r, g, b)" (blanks around the parts, letters in either
// case, the decimal parts 0 to 255); writing gives "#RRGGBB" or "R, G, B". Plain C++, usable from
// both programs and from tests without Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelmira {

struct TTextColor {
    std::uint8_t R = 0;
    std::uint8_t G = 0;
    std::uint8_t B = 0;

    friend bool operator==(const TTextColor&, const TTextColor&) = default;
};

// The colour a text names, or nothing when it is none of the forms above.
std::optional<TTextColor> ParseColorText(std::string_view text);

// Whether the text, blanks around it aside, is nothing but decimal digits: what a number box
// takes as its own paste.
bool IsPlainNumber(std::string_view text);

std::string HexColorText(TTextColor color);     // "#1A2B3C"
std::string TripleColorText(TTextColor color);  // "26, 43, 60"

// The same colours in the Windows byte order (0x00BBGGRR).
inline std::uint32_t ColorRefOf(TTextColor c) {
    return static_cast<std::uint32_t>(c.R) | static_cast<std::uint32_t>(c.G) << 8 | static_cast<std::uint32_t>(c.B) << 16;
}
inline TTextColor TextColorOf(std::uint32_t colorRef) {
    return TTextColor{static_cast<std::uint8_t>(colorRef & 0xFF), static_cast<std::uint8_t>((colorRef >> 8) & 0xFF),
                      static_cast<std::uint8_t>((colorRef >> 16) & 0xFF)};
}

}  // namespace pelmira
