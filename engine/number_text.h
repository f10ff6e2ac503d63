#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::engine {

// Whole numbers below this in magnitude print as their digits and read back exactly.
constexpr int64_t kMaxWholeNumber = 1'000'000'000'000'000;
inline bool IsWholeNumber(double value) {
    return value < static_cast<double>(kMaxWholeNumber) &&
           value > -static_cast<double>(kMaxWholeNumber) && value == static_cast<double>(static_cast<int64_t>(value));
}

// The length of a whole number's text (its digits and sign) as FormatNumber writes it, for
// |value| < kMaxWholeNumber; counted without writing it, as loops and counters store a value
// on nearly every statement.
size_t WholeTextSize(double value);

// Writes the digits (and sign) of a whole number for which IsWholeNumber holds over `text`,
// or after it.
void WriteWholeInto(double value, std::string& text);
void AppendWhole(double value, std::string& text);

// Writes a number the way scripts see it: general format, at most 15 significant digits,
// fixed notation from 0.00001 up to 15 integer digits, otherwise "1E20" / "1.5E-7".
std::string FormatNumber(double value);
// The same, telling whether the text reads back as exactly `value`.
std::string FormatNumber(double value, bool& exact);
// The same, written over `text` (whose buffer is reused).
void FormatNumberInto(double value, bool& exact, std::string& text);

// A number text: optional sign, digits with an optional "." (digits may be missing on one
// side), optional exponent. Leading and trailing blanks and control characters are allowed.
std::optional<double> ParseNumber(std::string_view text);

// The arithmetic operators' reading: a number text gives its value, anything else the digits
// read from its start up to the first character that cannot continue a number ("12V" -> 12,
// "1.5x" -> 15, "abc" -> 0).
double LenientNumber(std::string_view text);

// Whether the "+" or "-" at `sign` belongs to a number literal that starts at `start`: it directly
// follows the E or e of digits with an optional point ("1E-7", "2.5e+3").
bool IsExponentSign(std::string_view text, size_t start, size_t sign);

// Optional sign and decimal digits only, within 32 bits.
std::optional<int32_t> StrictInt(std::string_view text);

}  // namespace korvane::engine
