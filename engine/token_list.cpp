#include "engine/token_list.h"

namespace korvane::engine {

namespace {

// The next separator at or after `from`; a one-byte separator takes the fast search.
size_t FindSeparator(std::string_view text, std::string_view separator, size_t from) {
    return separator.size() == 1 ? text.find(separator.front(), from) : text.find(separator, from);
}

}  // namespace

std::optional<std::string_view> NthPiece(std::string_view text, std::string_view separator,
                                         size_t index, size_t from) {
    if (separator.empty()) {
        if (index != 0 || from >= text.size()) return std::nullopt;
        return text.substr(from);
    }
    for (;;) {
        const size_t at = FindSeparator(text, separator, from);
        if (at == std::string_view::npos) {
            if (index != 0 || from >= text.size()) return std::nullopt;
            return text.substr(from);
        }
        if (index == 0) return text.substr(from, at - from);
        --index;
        from = at + separator.size();
    }
}

void TTokenList::Assign(std::string text, std::string separator) {
    Clear();
    m_text = std::move(text);
    m_separator = std::move(separator);
    auto addPiece = [this](size_t start) {
        if (m_count % kStride == 0) m_marks.push_back(start);
        ++m_count;
    };
    size_t from = 0;
    if (!m_separator.empty()) {
        for (size_t at; (at = FindSeparator(m_text, m_separator, from)) != std::string::npos;) {
            addPiece(from);
            from = at + m_separator.size();
        }
    }
    if (from < m_text.size()) addPiece(from);
}

void TTokenList::Clear() {
    // Swapped out, not cleared: a list of 64 MiB must give its memory back.
    std::string().swap(m_text);
    std::string().swap(m_separator);
    std::vector<size_t>().swap(m_marks);
    m_count = 0;
}

std::optional<std::string_view> TTokenList::Piece(size_t index) const {
    if (index >= m_count) return std::nullopt;
    return NthPiece(m_text, m_separator, index % kStride, m_marks[index / kStride]);
}

}  // namespace korvane::engine
