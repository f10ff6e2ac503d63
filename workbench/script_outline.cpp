#include "workbench/script_outline.h"

#include <algorithm>

#include "engine/check_blocks.h"
#include "engine/text_utils.h"
#include "workbench/lexer_tables.h"

namespace korvane::workbench {

namespace {

bool IsNameStart(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool IsNameByte(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }

using engine::TrimView;

bool IsComment(std::string_view trimmed) { return !trimmed.empty() && trimmed.front() == '#'; }

// The name at the start of `text`, empty when it does not start with one.
std::string_view LeadingName(std::string_view text) {
    if (text.empty() || !IsNameStart(text.front())) return {};
    std::size_t end = 1;
    while (end < text.size() && IsNameByte(text[end])) ++end;
    return text.substr(0, end);
}

// The name a line defines, if any: "procedure name", "for (name = ...", "name = ...".
std::string_view DefinedName(std::string_view trimmed) {
    if (trimmed.starts_with("procedure ")) return LeadingName(TrimView(trimmed.substr(10)));
    if (trimmed.starts_with("for (")) return LeadingName(TrimView(trimmed.substr(5)));
    const std::string_view name = LeadingName(trimmed);
    const std::string_view rest = TrimView(trimmed.substr(name.size()));
    return !name.empty() && rest.starts_with('=') && !rest.starts_with("==") ? name
                                                                           : std::string_view();
}

}  // namespace

int NextStatementLine(const std::vector<std::string>& lines, int line) {
    for (int i = std::max(0, line); i < static_cast<int>(lines.size()); ++i) {
        const std::string_view trimmed = TrimView(lines[static_cast<std::size_t>(i)]);
        if (!trimmed.empty() && !IsComment(trimmed)) return i;
    }
    return -1;
}

TIndentRole IndentRoleOf(std::string_view line) {
    const std::string trimmed(TrimView(line));
    if (trimmed == "else" || trimmed.starts_with("elseif (")) return TIndentRole::Branch;
    switch (engine::BlockRole(trimmed)) {
        case engine::TBlockRole::Opens:
            return TIndentRole::Opens;
        case engine::TBlockRole::Closes:
            return TIndentRole::Closes;
        case engine::TBlockRole::None:
            break;
    }
    return TIndentRole::None;
}

std::vector<int> BlockDepths(const std::vector<std::string>& lines) {
    std::vector<int> depths;
    depths.reserve(lines.size());
    int depth = 0;
    for (const std::string& line : lines) {
        switch (IndentRoleOf(line)) {
            case TIndentRole::Opens:
                depths.push_back(depth++);
                break;
            case TIndentRole::Closes:
                depth = std::max(0, depth - 1);
                depths.push_back(depth);
                break;
            case TIndentRole::Branch:
            case TIndentRole::None:
                depths.push_back(depth);
                break;
        }
    }
    return depths;
}

std::vector<std::string> ToggleComments(const std::vector<std::string>& lines) {
    const bool allCommented = std::all_of(lines.begin(), lines.end(), [](const std::string& line) {
        const std::string_view trimmed = TrimView(line);
        return trimmed.empty() || IsComment(trimmed);
    });
    std::vector<std::string> result;
    result.reserve(lines.size());
    for (const std::string& line : lines) {
        const std::size_t indent = line.find_first_not_of(" \t");
        if (TrimView(line).empty()) {
            result.push_back(line);
        } else if (allCommented) {
            std::size_t after = indent + 1;
            if (after < line.size() && line[after] == ' ') ++after;
            result.push_back(line.substr(0, indent) + line.substr(after));
        } else {
            result.push_back(line.substr(0, indent) + "# " + line.substr(indent));
        }
    }
    return result;
}

std::vector<std::string> ScriptNames(std::string_view text) {
    std::vector<std::string> names;
    for (const std::string& line : engine::SplitLines(text)) {
        const std::string_view name = DefinedName(TrimView(line));
        if (name.empty() || IsKeyword(name)) continue;
        if (std::find(names.begin(), names.end(), name) == names.end()) names.emplace_back(name);
    }
    return names;
}

}  // namespace korvane::workbench
