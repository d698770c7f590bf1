// bench_formats.cpp: time to read and to write a 256-colour palette in the ASE (binary, UTF-16
// names) and GPL (text) formats, the two shapes of format the library handles. Prints the median
// of many runs per operation as "name: value us"; the aim is well under 1 ms each, so that a
// drop or an open box never waits on parsing.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "PaletteFormats.h"

using namespace pelmira::formats;

namespace {

constexpr int kRuns = 301;
constexpr int kRepeatsPerRun = 20;  // one timing covers several calls: the clock's step is coarse

TPalette Palette256() {
    TPalette colors;
    for (int k = 0; k < 256; ++k) {
        colors.push_back({static_cast<std::uint8_t>(k), static_cast<std::uint8_t>(255 - k),
                          static_cast<std::uint8_t>(k * 7), "Colour " + std::to_string(k)});
    }
    return colors;
}

// Median microseconds per call of `work`; `sink` keeps the calls from being optimised away.
template <typename Work>
double MedianMicroseconds(Work work, std::size_t& sink) {
    std::vector<double> times;
    times.reserve(kRuns);
    for (int run = 0; run < kRuns; ++run) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < kRepeatsPerRun; ++i) {
            sink += work();
        }
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - start).count() / kRepeatsPerRun);
    }
    std::nth_element(times.begin(), times.begin() + kRuns / 2, times.end());
    return times[kRuns / 2];
}

}  // namespace

int main() {
    const TPalette colors = Palette256();
    std::size_t sink = 0;
    struct TCase {
        const char* Name;
        TFormat Format;
    };
    for (const TCase& c : {TCase{"ase", TFormat::Ase}, TCase{"gpl", TFormat::Gpl}}) {
        const std::string bytes = WritePalette(c.Format, colors).Bytes;
        const TReadResult check = ReadPaletteAs(c.Format, bytes);
        if (!check.Ok || check.Colors != colors) {
            std::printf("formats_%s: round trip failed: %s\n", c.Name, check.Error.c_str());
            return 1;
        }
        const double read = MedianMicroseconds([&] { return ReadPaletteAs(c.Format, bytes).Colors.size(); }, sink);
        const double write = MedianMicroseconds([&] { return WritePalette(c.Format, colors).Bytes.size(); }, sink);
        std::printf("formats_%s_read_256_us: %.1f us\n", c.Name, read);
        std::printf("formats_%s_write_256_us: %.1f us\n", c.Name, write);
    }
    return sink == 0 ? 1 : 0;
}
