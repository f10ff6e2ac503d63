#include "tools/command_line.h"

#include "korvane_version.h"

namespace korvane::tools {

std::string_view ProgramVersion() { return KORVANE_VERSION; }

std::optional<int> AnswerStandardOption(std::span<const std::string> arguments,
                                        const TProgramText& program, std::ostream& out) {
    for (const std::string& argument : arguments) {
        if (argument == "--help") {
            out << program.usage << '\n' << program.about;
            return 0;
        }
        if (argument == "--version") {
            out << program.name << ' ' << ProgramVersion() << '\n';
            return 0;
        }
    }
    return std::nullopt;
}

int UsageError(const TProgramText& program, std::ostream& errors) {
    errors << program.usage;
    return kExitUsage;
}

}  // namespace korvane::tools
