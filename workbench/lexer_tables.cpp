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

}  // namespace korvane::workbench
