#include "engine/check_blocks.h"

#include <string_view>

#include "engine/text_utils.h"

namespace korvane::engine {

namespace {

std::string_view OpenedKind(const std::string& line) {
    if (StartsWith(line, "for (")) return "for";
    if (StartsWith(line, "if (")) return "if";
    if (StartsWith(line, "while (")) return "while";
    if (line == "repeat") return "repeat";
    if (StartsWith(line, "procedure ")) return "procedure";
    return {};
}

// The closing word of the line and the kind it needs on top of the stack, if it closes one.
bool ClosedKind(const std::string& line, std::string_view& word, std::string_view& kind) {
    if (line == "next") word = "next", kind = "for";
    else if (line == "endif") word = "endif", kind = "if";
    else if (line == "wend") word = "wend", kind = "while";
    else if (line.find("until (") != std::string::npos) word = "until", kind = "repeat";
    else if (line == "procend") word = "procend", kind = "procedure";
    else return false;
    return true;
}

}  // namespace

TBlockCheck CheckBlockLines(const std::vector<std::string>& lines) {
    struct TOpened {
        std::string_view kind;
        int line;
    };
    std::vector<TOpened> stack;
    TBlockCheck check;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string line = Trim(lines[i]);
        if (std::string_view opened = OpenedKind(line); !opened.empty()) {
            stack.push_back({opened, static_cast<int>(i)});
            continue;
        }
        std::string_view word, kind;
        if (!ClosedKind(line, word, kind)) continue;
        if (!stack.empty() && stack.back().kind == kind) {
            stack.pop_back();
            continue;
        }
        check.report = "Error: unexpected " + std::string(word) + " on line " + std::to_string(i + 1);
        check.unexpectedLine = static_cast<int>(i);
        break;
    }
    if (!stack.empty()) {
        check.report += "\r\nError: unterminated block (" + std::string(stack.back().kind) + ")";
        check.unterminatedLine = stack.back().line;
    }
    return check;
}

std::string CheckBlocks(const std::vector<std::string>& lines) { return CheckBlockLines(lines).report; }

}  // namespace korvane::engine
