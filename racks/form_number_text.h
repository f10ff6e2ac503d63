#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "racks/form_value.h"

namespace korvane::racks {

// Decimal text for the float payloads of the text form. Formatting gives the shortest text that
// reads back to the same bits, always with a '.' or an exponent so that it cannot pass for an
// integer; it gives nothing when no decimal text does (infinities, NaNs, odd extended encodings),
// and the caller then writes the raw bits.
std::optional<std::string> FormatExtendedText(const TExtendedBytes& bytes);
std::optional<std::string> FormatSingleText(uint32_t bits);
std::optional<std::string> FormatDateText(uint64_t bits);
std::string FormatCurrencyText(int64_t tenThousandths);  // exact, at most 4 decimals

std::optional<TExtendedBytes> ParseExtendedText(std::string_view text);
std::optional<uint32_t> ParseSingleText(std::string_view text);
std::optional<uint64_t> ParseDateText(std::string_view text);
// Exact decimal reading: at most 4 decimals and no exponent.
std::optional<int64_t> ParseCurrencyText(std::string_view text);

}  // namespace korvane::racks
