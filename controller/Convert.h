// Convert.h: "vorlund.exe /convert IN OUT", the palette converter on the command line. It runs
// instead of the controller: no window, no hook library, no settings or language file. The
// output format comes from OUT's extension; OUT is written through a temporary file, so a
// refused input or a failed write leaves nothing behind. Reasons go to the console the program
// was started from, or to the standard error handle it was given.
#pragma once

#include <optional>
#include <string>
#include <vector>

// Exit codes of the converter.
inline constexpr int kConvertOk = 0;
inline constexpr int kConvertBadInput = 1;     // IN missing, unreadable or refused by its reader
inline constexpr int kConvertCannotWrite = 2;  // OUT's format unknown, refused the colours, or the write failed
inline constexpr int kConvertUsage = 3;        // not exactly two paths after /convert

// The words of a command line after the program's own name; a word in double quotes may hold
// spaces, and the quotes are removed.
std::vector<std::string> SplitCommandLine(const std::string& line);

// The arguments after "/convert" (any letter case, "-convert" too) when that is the first
// argument; nothing when the command line asks for the controller.
std::optional<std::vector<std::string>> ConvertArguments(const std::string& line);

struct TConvertOutcome {
    int ExitCode = kConvertOk;
    std::string Message;  // one line for the console; empty on success
};

// Converts the file `in` to `out` by `out`'s extension.
TConvertOutcome ConvertPaletteFile(const std::string& in, const std::string& out);

// The whole converter: checks the arguments, converts, reports; answers the exit code.
int RunConvert(const std::vector<std::string>& arguments);
