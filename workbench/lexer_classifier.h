#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace korvane::workbench {

// The lexical classes the editor colours. The values are the style numbers an editing widget
// can use directly.
enum class TStyle : std::uint8_t {
    Default = 0,
    Keyword = 1,
    String = 2,
    Symbol = 3,
    LineComment = 4,
    BlockComment = 5,
    Number = 6,
};
inline constexpr int kStyleCount = 7;

// What a line hands on to the next one: only a block comment spans lines.
enum class TLexState : std::uint8_t { Normal = 0, InBlockComment = 1 };

inline constexpr std::string_view kSymbolCharacters = "()+-*/&=<>|";

// Gives every byte of the text its class, starting in the given state, and returns the state
// at the end. The text may hold several lines; a string or line comment ends at a line break.
// Words are runs of letters, digits and "_": keywords by exact match, numbers when all decimal
// digits (with an optional ".digits" part) or "0x" followed by hexadecimal digits. styles should
// have one entry per byte; bytes beyond its end are left alone.
TLexState ClassifyText(std::string_view text, TLexState start, std::span<TStyle> styles);

}  // namespace korvane::workbench
