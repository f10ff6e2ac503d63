#include "workbench/ui/editor_words.h"

#include <algorithm>
#include <array>

#include "engine/text_utils.h"
#include "workbench/lexer_tables.h"

namespace korvane::workbench {

namespace {

bool IsWordCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

constexpr std::array<std::string_view, 5> kUrlStarts = {"http://", "https://", "ftp://",
                                                         "mailto:", "www."};

bool EndsUrl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte <= ' ' || c == '"' || c == '<' || c == '>' || c == '\'';
}

bool IsClosingPunctuation(char c) {
    return c == '.' || c == ',' || c == ';' || c == ':' || c == ')' || c == '!' || c == '?';
}

// The URL start at `at`, if one begins there and is not the tail of a longer word.
std::size_t UrlStartLength(std::string_view text, std::size_t at) {
    if (at > 0 && IsWordCharacter(text[at - 1])) return 0;
    for (std::string_view start : kUrlStarts) {
        if (engine::EqualsIgnoreCase(text.substr(at, start.size()), start)) return start.size();
    }
    return 0;
}

}  // namespace

std::vector<std::string_view> CompletionCandidates(std::string_view prefix) {
    std::vector<std::string_view> candidates;
    for (std::string_view word : kCompletions) {
        if (word.empty() || word.size() < prefix.size()) continue;
        if (engine::EqualsIgnoreCase(word.substr(0, prefix.size()), prefix)) {
            candidates.push_back(word);
        }
    }
    std::sort(candidates.begin(), candidates.end());
    return candidates;
}

std::vector<std::string> CompletionCandidates(std::string_view prefix,
                                              const std::vector<std::string>& scriptNames) {
    std::vector<std::string> candidates;
    for (std::string_view word : CompletionCandidates(prefix)) candidates.emplace_back(word);
    for (const std::string& name : scriptNames) {
        if (name.size() < prefix.size() ||
            !engine::EqualsIgnoreCase(std::string_view(name).substr(0, prefix.size()), prefix)) {
            continue;
        }
        const bool known = std::any_of(candidates.begin(), candidates.end(), [&](const auto& word) {
            return engine::EqualsIgnoreCase(word, name);
        });
        if (!known) candidates.push_back(name);
    }
    std::sort(candidates.begin(), candidates.end());
    return candidates;
}

std::string_view WordBeforeParenthesis(std::string_view line, std::size_t parenthesis) {
    std::size_t end = std::min(parenthesis, line.size());
    while (end > 0 && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
    return WordEndingAt(line, end);
}

std::string_view WordEndingAt(std::string_view line, std::size_t end) {
    end = std::min(end, line.size());
    std::size_t begin = end;
    while (begin > 0 && IsWordCharacter(line[begin - 1])) --begin;
    return line.substr(begin, end - begin);
}

std::vector<TUrlSpan> FindUrls(std::string_view text) {
    std::vector<TUrlSpan> spans;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t startLength = UrlStartLength(text, at);
        if (startLength == 0) {
            ++at;
            continue;
        }
        std::size_t end = at + startLength;
        while (end < text.size() && !EndsUrl(text[end])) ++end;
        while (end > at + startLength && IsClosingPunctuation(text[end - 1])) --end;
        if (end > at + startLength) spans.push_back({at, end});
        at = end;
    }
    return spans;
}

std::string UrlToOpen(std::string_view url) {
    if (engine::EqualsIgnoreCase(url.substr(0, 4), "www.")) return "http://" + std::string(url);
    return std::string(url);
}

}  // namespace korvane::workbench
