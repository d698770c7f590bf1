// libFuzzer target for reading colours as text: any input either fails or names a colour whose
// "#RRGGBB" and "R, G, B" texts read back to the same colour.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ColorText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto color = pelmira::ParseColorText(text);
    if (!color) return 0;
    if (pelmira::ParseColorText(pelmira::HexColorText(*color)) != color) std::abort();
    if (pelmira::ParseColorText(pelmira::TripleColorText(*color)) != color) std::abort();
    return 0;
}
