// libFuzzer target for one palette reader, chosen at compile time with
// -DPELMIRA_FUZZ_FORMAT=<TFormat enumerator> (scripts/run-fuzz.sh builds one binary per reader).
// Besides crashes and sanitizer reports it checks one property: whatever a reader accepts, the
// format's writer writes and the reader reads back unchanged, so a file that loads can be saved.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "PaletteFormats.h"

using namespace pelmira::formats;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    constexpr TFormat kFormat = TFormat::PELMIRA_FUZZ_FORMAT;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const TReadResult read = ReadPaletteAs(kFormat, bytes);
    if (!read.Ok) {
        if (read.Error.empty()) {
            std::abort();  // every refusal must say why
        }
        return 0;
    }
    if (read.Format != kFormat) {
        std::abort();
    }
    const TWriteResult written = WritePalette(kFormat, read.Colors);
    if (!written.Ok) {
        // Only PLI (always 16) and ACT (at most 256) cap their size, and both read within it.
        std::abort();
    }
    const TReadResult again = ReadPaletteAs(kFormat, written.Bytes);
    if (!again.Ok || again.Colors.size() != read.Colors.size()) {
        std::abort();
    }
    for (std::size_t k = 0; k < read.Colors.size(); ++k) {
        const TSwatch& a = read.Colors[k];
        const TSwatch& b = again.Colors[k];
        if (a.R != b.R || a.G != b.G || a.B != b.B || a.Name != b.Name) {
            std::abort();
        }
    }
    return 0;
}
