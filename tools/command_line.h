#pragma once

#include <optional>
#include <ostream>
#include <span>
#include <string>
#include <string_view>

namespace korvane::tools {

// What every program answers on its command line, as Linux tools do: --help prints the help
// text and --version the program's name and version, both on standard output and with exit
// code 0; a usage error prints the usage on standard error and ends with kExitUsage.
inline constexpr int kExitUsage = 2;

struct TProgramText {
    std::string_view name;   // "korvane-run"
    std::string_view usage;  // "usage: ..." lines, each ending in '\n'
    std::string_view about;  // what follows the usage in --help
};

std::string_view ProgramVersion();

// The exit code when --help or --version is among the arguments (after printing the answer
// to `out`); nothing otherwise.
std::optional<int> AnswerStandardOption(std::span<const std::string> arguments,
                                        const TProgramText& program, std::ostream& out);

// Prints the usage to `errors` and gives kExitUsage.
int UsageError(const TProgramText& program, std::ostream& errors);

}  // namespace korvane::tools
