// Writes small valid palette files, one folder per fuzz target, as the fuzzers' starting corpus:
// what the writers produce plus hand-built files for the paths writers never take (ASE groups
// and non-RGB models, ACO HSB/CMYK/Lab/Gray, RIFF extra chunks, text comments and BOMs).
// Usage: make_seeds <folder>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "PaletteFormats.h"

using namespace pelmira::formats;
namespace fs = std::filesystem;

namespace {

std::string Be16(unsigned v) { return {static_cast<char>(v >> 8 & 0xFF), static_cast<char>(v & 0xFF)}; }
std::string Be32(unsigned v) { return Be16(v >> 16) + Be16(v & 0xFFFF); }
std::string Le16(unsigned v) { return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8 & 0xFF)}; }
std::string Le32(unsigned v) { return Le16(v & 0xFFFF) + Le16(v >> 16); }

void Put(const fs::path& folder, const std::string& name, const std::string& bytes) {
    fs::create_directories(folder);
    std::ofstream(folder / name, std::ios::binary) << bytes;
}

std::string AseEntry(const std::string& model, const std::vector<unsigned>& floatBits) {
    std::string body = Be16(2) + Be16('c') + Be16(0) + model;
    for (unsigned bits : floatBits) {
        body += Be32(bits);
    }
    body += Be16(2);
    return Be16(1) + Be32(static_cast<unsigned>(body.size())) + body;
}

std::string AcoRecord(unsigned space, unsigned w, unsigned x, unsigned y, unsigned z) {
    return Be16(space) + Be16(w) + Be16(x) + Be16(y) + Be16(z);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const fs::path root = argv[1];
    const TPalette sample = {{255, 0, 0, "Red"}, {0, 128, 0, "Grün"}, {0, 0, 255, ""}, {18, 52, 86, "x"}};
    // Folder = the fuzz target's name less "fuzz_"; the index is the extension the recogniser's
    // first byte selects for that format.
    struct TTarget {
        TFormat Format;
        const char* Folder;
        char NameIndex;
    };
    const TTarget targets[] = {{TFormat::Pli, "pli", 0},      {TFormat::Gpl, "gpl", 1}, {TFormat::JascPal, "jasc", 2},
                               {TFormat::RiffPal, "riff", 2}, {TFormat::PaintNet, "paintnet", 3},
                               {TFormat::Hex, "hex", 4},      {TFormat::Aco, "aco", 5}, {TFormat::Ase, "ase", 6},
                               {TFormat::Act, "act", 7}};
    for (const TTarget& t : targets) {
        const std::string bytes = WritePalette(t.Format, sample).Bytes;
        Put(root / t.Folder, "written", bytes);
        Put(root / "recognise", std::string(t.Folder) + ".named", t.NameIndex + bytes);
        Put(root / "recognise", std::string(t.Folder) + ".noext", '\x09' + bytes);
    }
    Put(root / "jasc", "empty", "JASC-PAL\r\n0100\r\n0\r\n");
    Put(root / "gpl", "comments", "\xEF\xBB\xBFGIMP Palette\r\nName: n\r\nColumns: 4\r\n# c\r\n1\t2 3\tname \r\n\r\n4 5 6");
    Put(root / "paintnet", "comments", "; paint.net\n; more\nFF112233\n80aabbcc\n");
    Put(root / "hex", "mixed", "# title\n#112233\nAABBCCDD\n445566 label\n");
    Put(root / "pli", "lf", "0=1,2,3\n1=4,5,6\n");
    Put(root / "riff", "info", "RIFF" + Le32(32) + "PAL " + "INFO" + Le32(3) + "abc" + '\0' + "data" + Le32(8) +
                                   Le16(0x0300) + Le16(1) + std::string("\x05\x06\x07\x00", 4));
    const std::string group = Be16(0xC001) + Be32(6) + Be16(2) + Be16('G') + Be16(0);
    const std::string groupEnd = Be16(0xC002) + Be32(0);
    Put(root / "ase", "models", "ASEF" + Be16(1) + Be16(0) + Be32(6) + group +
                                    AseEntry("CMYK", {0x3F000000, 0, 0x3F800000, 0}) +
                                    AseEntry("LAB ", {0x3F000000, 0x42000000, 0xC2000000}) +
                                    AseEntry("Gray", {0x3F000000}) + AseEntry("RGB ", {0, 0x3F800000, 0}) + groupEnd);
    Put(root / "aco", "models", Be16(1) + Be16(4) + AcoRecord(1, 0x5555, 0xFFFF, 0xFFFF, 0) +
                                    AcoRecord(2, 0, 0xFFFF, 0xFFFF, 0xFFFF) + AcoRecord(7, 5000, 0xEC78, 0x1388, 0) +
                                    AcoRecord(8, 2500, 0, 0, 0));
    Put(root / "act", "short", std::string(768, '\x10') + Be16(3) + Be16(1));
    return 0;
}
