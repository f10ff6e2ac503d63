#include "workbench/lexer_tables.h"

namespace korvane::workbench {

namespace {

std::string_view HintWord(std::string_view hint) {
    hint = hint.substr(0, hint.find('('));
    while (!hint.empty() && hint.back() == ' ') hint.remove_suffix(1);
    return hint;
}

}  // namespace

bool IsKeyword(std::string_view word) {
    return !word.empty() && std::find(kKeywords.begin(), kKeywords.end(), word) != kKeywords.end();
}

std::optional<std::string_view> FindParameterHint(std::string_view word) {
    const auto found =
        std::find_if(kParameterHints.begin(), kParameterHints.end(),
                     [word](std::string_view hint) { return HintWord(hint) == word; });
    if (found == kParameterHints.end()) return std::nullopt;
    return *found;
}

std::optional<THintSpan> HintParameterSpan(std::string_view hint, int argument) {
    const std::size_t open = hint.find('(');
    const std::size_t close = hint.rfind(')');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open ||
        argument < 0) {
        return std::nullopt;
    }
    std::size_t begin = open + 1;
    for (int i = 0; i < argument; ++i) {
        const std::size_t next = hint.find(kHintParameterDelimiter, begin);
        if (next == std::string_view::npos || next > close) return std::nullopt;
        begin = next + 1;
    }
    const std::size_t next = hint.find(kHintParameterDelimiter, begin);
    const std::size_t end = next == std::string_view::npos || next > close ? close : next;
    return THintSpan{begin, end};
}

int TypedArgumentIndex(std::string_view typed) {
    int index = 0;
    int depth = 0;
    bool quoted = false;
    for (char c : typed) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '(') ++depth;
        if (c == ')' && depth > 0) --depth;
        if (c == kScriptArgumentDelimiter && depth == 0) ++index;
    }
    return index;
}

}  // namespace korvane::workbench
