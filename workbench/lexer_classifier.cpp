#include "workbench/lexer_classifier.h"

#include <algorithm>

#include "workbench/lexer_tables.h"

namespace korvane::workbench {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsHexDigit(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

bool IsWordCharacter(char c) {
    return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

bool IsLineBreak(char c) { return c == '\n' || c == '\r'; }

bool IsNumber(std::string_view word) {
    if (word.size() > 2 && word[0] == '0' && word[1] == 'x') {
        return std::all_of(word.begin() + 2, word.end(), IsHexDigit);
    }
    const std::size_t point = word.find('.');
    const auto digits = [](std::string_view part) {
        return !part.empty() && std::all_of(part.begin(), part.end(), IsDigit);
    };
    if (point == std::string_view::npos) return digits(word);
    return digits(word.substr(0, point)) && digits(word.substr(point + 1));
}

// Fills styles[from, to) with one class.
class TStyler {
 public:
    TStyler(std::string_view text, std::span<TStyle> styles) : m_text(text), m_styles(styles) {}

    void Fill(std::size_t from, std::size_t to, TStyle style) {
        std::fill(m_styles.begin() + static_cast<std::ptrdiff_t>(from),
                  m_styles.begin() + static_cast<std::ptrdiff_t>(to), style);
    }

    // End of a word starting at `at`; a "." between digits belongs to a number.
    std::size_t WordEnd(std::size_t at) const {
        std::size_t end = at;
        while (end < m_text.size() && IsWordCharacter(m_text[end])) ++end;
        const bool fraction = IsDigit(m_text[at]) && end + 1 < m_text.size() &&
                              m_text[end] == '.' && IsDigit(m_text[end + 1]);
        if (fraction) {
            ++end;
            while (end < m_text.size() && IsWordCharacter(m_text[end])) ++end;
        }
        return end;
    }

    std::size_t LineEnd(std::size_t at) const {
        while (at < m_text.size() && !IsLineBreak(m_text[at])) ++at;
        return at;
    }

    // Past the closing character on the same line, or the line's end.
    std::size_t StringEnd(std::size_t at) const {
        for (++at; at < m_text.size() && !IsLineBreak(m_text[at]); ++at) {
            if (m_text[at] == '"') return at + 1;
        }
        return at;
    }

 private:
    std::string_view m_text;
    std::span<TStyle> m_styles;
};

}  // namespace

TLexState ClassifyText(std::string_view text, TLexState start, std::span<TStyle> styles) {
    text = text.substr(0, styles.size());
    TStyler styler(text, styles);
    TLexState state = start;
    std::size_t at = 0;
    while (at < text.size()) {
        if (state == TLexState::InBlockComment) {
            const std::size_t close = text.find('}', at);
            const std::size_t end = close == std::string_view::npos ? text.size() : close + 1;
            styler.Fill(at, end, TStyle::BlockComment);
            if (close != std::string_view::npos) state = TLexState::Normal;
            at = end;
            continue;
        }
        const char c = text[at];
        std::size_t end = at + 1;
        TStyle style = TStyle::Default;
        if (c == '{') {
            state = TLexState::InBlockComment;
            continue;
        } else if (c == '#') {
            end = styler.LineEnd(at);
            style = TStyle::LineComment;
        } else if (c == '"') {
            end = styler.StringEnd(at);
            style = TStyle::String;
        } else if (kSymbolCharacters.find(c) != std::string_view::npos) {
            style = TStyle::Symbol;
        } else if (IsWordCharacter(c)) {
            end = styler.WordEnd(at);
            const std::string_view word = text.substr(at, end - at);
            style = IsKeyword(word)  ? TStyle::Keyword
                    : IsNumber(word) ? TStyle::Number
                                     : TStyle::Default;
        }
        styler.Fill(at, end, style);
        at = end;
    }
    return state;
}

}  // namespace korvane::workbench
