#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace korvane::serial {

// The values match the parity and stop-bit codes the port table stores.
enum class Parity : std::uint8_t { None = 0, Odd = 1, Even = 2, Mark = 3, Space = 4 };
enum class StopBits : std::uint8_t { One = 0, OneAndHalf = 1, Two = 2 };

// Framing of a serial line. No flow control and no parity checking are ever applied:
// the line carries raw bytes and DTR/RTS stay under the caller's control.
struct TLineSettings {
    std::int32_t baudRate = 9600;
    std::uint8_t dataBits = 8;
    Parity parity = Parity::None;
    StopBits stopBits = StopBits::One;

    bool operator==(const TLineSettings&) const = default;
};

inline constexpr std::uint8_t kMinDataBits = 5;
inline constexpr std::uint8_t kMaxDataBits = 8;

// Whether a baud rate and a number of data bits, as a script or the dialog gives them, can
// describe a line at all (a positive rate, 5 to 8 bits).
bool PossibleLineNumbers(std::int64_t baudRate, std::int64_t dataBits);

// Why the settings cannot be applied to any device, or nothing when they are well formed.
std::optional<std::string> FindSettingsProblem(const TLineSettings& settings);

}  // namespace korvane::serial
