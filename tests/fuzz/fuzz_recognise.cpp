// libFuzzer target for recognition and the reader it picks. The first byte chooses the file
// name's extension, so that every branch of the recogniser (signature, extension, weak content)
// is reached; the rest is the file.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "PaletteFormats.h"

using namespace pelmira::formats;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static constexpr const char* kNames[] = {"x.pli", "x.gpl", "x.pal", "x.txt", "x.hex", "x.aco",
                                             "x.ase", "x.act", "x.PAL", "noext", "x.kpl", "dir.d/x"};
    if (size == 0) {
        return 0;
    }
    const char* name = kNames[data[0] % (sizeof kNames / sizeof kNames[0])];
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const TFormat format = RecogniseFormat(bytes, name);
    const TReadResult read = ReadPalette(bytes, name);
    if (read.Ok && read.Format != format) {
        std::abort();  // ReadPalette must read with the format it recognised
    }
    if (!read.Ok && read.Error.empty()) {
        std::abort();
    }
    return 0;
}
