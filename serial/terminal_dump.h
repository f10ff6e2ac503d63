#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::serial {

inline constexpr std::string_view kReceivedMark = "(R) ";
inline constexpr std::string_view kSentMark = "(S) ";
inline constexpr std::string_view kPortErrorPrefix = "PORT ERROR :";

// The terminal's hex-and-character lines for one chunk of traffic: slices of
// `charsPerLine` bytes, each "<mark> 41 42 ... : AB.." with missing bytes padded by blanks
// and control bytes shown as ".". `charsPerLine` must be at least 1.
std::vector<std::string> DumpLines(std::string_view mark, std::string_view chunk, int charsPerLine);

// The text for a set of line-error flags; only a single known flag has one, anything else
// (several flags at once included) gives the empty text.
std::string_view LineErrorDescription(std::uint32_t errors);

}  // namespace korvane::serial
