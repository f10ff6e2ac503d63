#pragma once

#include <optional>
#include <string_view>

#include "serial/line_settings.h"

namespace korvane::serial {

// The ways scripts and the port-settings dialog spell line settings. All comparisons are
// exact: "n" is a parity letter, "N" is not.
std::optional<Parity> ParityFromLetter(std::string_view text);    // n e o m s
std::optional<Parity> ParityFromWord(std::string_view text);      // none even odd mark space
std::optional<StopBits> StopBitsFromText(std::string_view text);  // 1 1.5 2

}  // namespace korvane::serial
