#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::engine {

// split's pieces: a text cut at each occurrence of a separator, where a trailing empty rest
// is no piece and an empty separator never occurs. The list keeps the text itself with a mark
// every kStride pieces, so millions of empty pieces cost little more than their separators
// and a piece is found by looking past at most kStride separators.
class TTokenList {
public:
    void Assign(std::string text, std::string separator);
    void Clear();
    size_t Size() const { return m_count; }
    // Piece `index` counting from 0; nothing past the last one.
    std::optional<std::string_view> Piece(size_t index) const;

private:
    static constexpr size_t kStride = 64;

    std::string m_text;
    std::string m_separator;
    std::vector<size_t> m_marks;  // where pieces 0, kStride, 2 * kStride ... start
    size_t m_count = 0;
};

// Piece `index` (from 0) of `text` cut at `separator` by the same rules, found without
// cutting the rest.
std::optional<std::string_view> NthPiece(std::string_view text, std::string_view separator,
                                         size_t index, size_t from = 0);

}  // namespace korvane::engine
