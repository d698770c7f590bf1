// Convert.cpp: the command-line palette converter.
#include "Convert.h"

#include "Config.h"
#include "ForeignPaletteFile.h"

namespace {

namespace formats = pelmira::formats;

constexpr const char* kUsageText = "usage: vorlund.exe /convert IN OUT (OUT's extension chooses the format)";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The handle to write reasons to. A program of the GUI subsystem gets no console of its own:
// when its standard error was handed over (redirected) that is used, otherwise the console of
// the process that started it, if any. Without either the reason is lost, as for any GUI program.
HANDLE ReportHandle() {
    const HANDLE given = ::GetStdHandle(STD_ERROR_HANDLE);
    if (given != nullptr && given != INVALID_HANDLE_VALUE) return given;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return nullptr;
    const HANDLE console = ::CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                         OPEN_EXISTING, 0, nullptr);
    return console == INVALID_HANDLE_VALUE ? nullptr : console;
}

void Report(const std::string& line) {
    const HANDLE out = ReportHandle();
    if (out == nullptr) return;
    const std::string text = "vorlund: " + line + "\r\n";
    DWORD written = 0;
    ::WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& line) {
    std::vector<std::string> words;
    std::size_t i = 0;
    bool first = true;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i >= line.size()) break;
        std::string word;
        bool quoted = false;
        for (; i < line.size() && (quoted || !IsBlank(line[i])); ++i) {
            if (line[i] == '"')
                quoted = !quoted;
            else
                word += line[i];
        }
        if (!first) words.push_back(word);
        first = false;
    }
    return words;
}

std::optional<std::vector<std::string>> ConvertArguments(const std::string& line) {
    std::vector<std::string> words = SplitCommandLine(line);
    if (words.empty()) return std::nullopt;
    if (::lstrcmpiA(words.front().c_str(), "/convert") != 0 && ::lstrcmpiA(words.front().c_str(), "-convert") != 0)
        return std::nullopt;
    words.erase(words.begin());
    return words;
}

TConvertOutcome ConvertPaletteFile(const std::string& in, const std::string& out) {
    const formats::TFormat format = pelmira::WriteFormatForPath(out);
    if (format == formats::TFormat::Unknown)
        return {kConvertCannotWrite, out + ": the extension names no palette format that can be written"};
    const formats::TReadResult read = pelmira::ReadForeignPaletteFile(in);
    if (!read.Ok) return {kConvertBadInput, read.Error};
    if (std::string error = pelmira::WriteForeignPaletteFile(out, format, read.Colors); !error.empty())
        return {kConvertCannotWrite, error};
    return {};
}

int RunConvert(const std::vector<std::string>& arguments) {
    if (arguments.size() != 2 || arguments[0].empty() || arguments[1].empty()) {
        Report(kUsageText);
        return kConvertUsage;
    }
    const TConvertOutcome outcome = ConvertPaletteFile(arguments[0], arguments[1]);
    if (!outcome.Message.empty()) Report(outcome.Message);
    return outcome.ExitCode;
}
