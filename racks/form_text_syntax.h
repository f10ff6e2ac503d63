#pragma once

#include <string_view>

namespace korvane::racks {

// Word rules shared by the text writer and reader.
bool IsIdentifier(std::string_view text);
bool IsDottedIdentifier(std::string_view text);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
// Words that open or close a record, so a property cannot carry them as its name.
bool IsRecordKeyword(std::string_view word);
// Identifiers that read as values of their own: True, False, nil, Null.
bool IsValueKeyword(std::string_view word);

inline constexpr std::string_view kObjectKeyword = "object";
inline constexpr std::string_view kInheritedKeyword = "inherited";
inline constexpr std::string_view kInlineKeyword = "inline";
inline constexpr std::string_view kEndKeyword = "end";
inline constexpr std::string_view kItemKeyword = "item";

}  // namespace korvane::racks
