#include "serial/line_settings_text.h"

#include <array>
#include <utility>

namespace korvane::serial {

namespace {

template <typename T, std::size_t N>
std::optional<T> Lookup(const std::array<std::pair<std::string_view, T>, N>& table,
                        std::string_view text) {
    for (const auto& [spelling, value] : table) {
        if (spelling == text) return value;
    }
    return std::nullopt;
}

}  // namespace

std::optional<Parity> ParityFromLetter(std::string_view text) {
    static constexpr std::array<std::pair<std::string_view, Parity>, 5> kLetters = {{
        {"n", Parity::None},
        {"e", Parity::Even},
        {"o", Parity::Odd},
        {"m", Parity::Mark},
        {"s", Parity::Space},
    }};
    return Lookup(kLetters, text);
}

std::optional<Parity> ParityFromWord(std::string_view text) {
    static constexpr std::array<std::pair<std::string_view, Parity>, 5> kWords = {{
        {"none", Parity::None},
        {"even", Parity::Even},
        {"odd", Parity::Odd},
        {"mark", Parity::Mark},
        {"space", Parity::Space},
    }};
    return Lookup(kWords, text);
}

std::optional<StopBits> StopBitsFromText(std::string_view text) {
    static constexpr std::array<std::pair<std::string_view, StopBits>, 3> kStopBits = {{
        {"1", StopBits::One},
        {"1.5", StopBits::OneAndHalf},
        {"2", StopBits::Two},
    }};
    return Lookup(kStopBits, text);
}

}  // namespace korvane::serial
