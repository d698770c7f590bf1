// ForeignPaletteFile.cpp: whole-file read with the size checked first, and write through the
// temporary-file writer.
#include "ForeignPaletteFile.h"

#include "Config.h"
#include "PaletteFile.h"
#include "ScopedHandles.h"

namespace pelmira {

namespace {

std::string SystemErrorText(DWORD error) { return " (system error " + std::to_string(error) + ")"; }

}  // namespace

formats::TReadResult ReadForeignPaletteFile(const std::string& path) {
    formats::TReadResult result;
    // Other tools may hold their palette open while it is imported: share reading and writing.
    TScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.Valid()) {
        result.Error = path + ": cannot be opened" + SystemErrorText(::GetLastError());
        return result;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size)) {
        result.Error = path + ": cannot be read" + SystemErrorText(::GetLastError());
        return result;
    }
    if (const auto refusal = formats::RefuseBySize(static_cast<std::uint64_t>(size.QuadPart))) {
        result.Error = path + ": " + *refusal;
        return result;
    }
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        (!::ReadFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
         read != bytes.size())) {
        result.Error = path + ": cannot be read" + SystemErrorText(::GetLastError());
        return result;
    }
    result = formats::ReadPalette(bytes, path);
    if (!result.Ok) result.Error = path + ": " + result.Error;
    return result;
}

formats::TFormat WriteFormatForPath(const std::string& path) {
    const std::size_t dot = path.find_last_of('.');
    const std::size_t slash = path.find_last_of("\\/");
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash) &&
        ::lstrcmpiA(path.c_str() + dot, ".pal") == 0)
        return formats::TFormat::JascPal;
    return formats::FormatFromExtension(path);
}

std::string WriteForeignPaletteFile(const std::string& path, formats::TFormat format,
                                    const formats::TPalette& colors) {
    const formats::TWriteResult written = formats::WritePalette(format, colors);
    if (!written.Ok) return path + ": " + written.Error;
    if (const DWORD error = WritePaletteFileText(path, written.Bytes); error != 0)
        return path + ": cannot be written" + SystemErrorText(error);
    return "";
}

}  // namespace pelmira
