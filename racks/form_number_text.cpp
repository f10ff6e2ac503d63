#include "racks/form_number_text.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>

#include "racks/extended_float.h"

namespace korvane::racks {
namespace {

constexpr int kCurrencyDecimals = 4;
constexpr uint64_t kCurrencyScale = 10000;

// "1e+20" becomes "1E20", "1.5e-07" becomes "1.5E-7", "100" becomes "100.0".
std::string Normalize(std::string_view shortest) {
    const size_t e = shortest.find('e');
    std::string text(shortest.substr(0, e));
    if (e != std::string_view::npos) {
        std::string_view exponent = shortest.substr(e + 1);
        const bool negative = !exponent.empty() && exponent.front() == '-';
        if (!exponent.empty() && (exponent.front() == '-' || exponent.front() == '+')) {
            exponent.remove_prefix(1);
        }
        while (exponent.size() > 1 && exponent.front() == '0') exponent.remove_prefix(1);
        text += negative ? "E-" : "E";
        text += exponent;
    } else if (text.find('.') == std::string::npos) {
        text += ".0";
    }
    return text;
}

template <typename TFloat>
std::optional<std::string> Shortest(TFloat value) {
    if (!std::isfinite(value)) return std::nullopt;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (result.ec != std::errc()) return std::nullopt;
    return Normalize(std::string_view(buffer, static_cast<size_t>(result.ptr - buffer)));
}

template <typename TFloat>
std::optional<TFloat> Parse(std::string_view text) {
    TFloat value{};
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::string> FormatExtendedText(const TExtendedBytes& bytes) {
    std::optional<std::string> text = Shortest(ExtendedToLongDouble(bytes));
    if (!text || ParseExtendedText(*text) != bytes) return std::nullopt;
    return text;
}

std::optional<std::string> FormatSingleText(uint32_t bits) {
    std::optional<std::string> text = Shortest(std::bit_cast<float>(bits));
    if (!text || ParseSingleText(*text) != bits) return std::nullopt;
    return text;
}

std::optional<std::string> FormatDateText(uint64_t bits) {
    std::optional<std::string> text = Shortest(std::bit_cast<double>(bits));
    if (!text || ParseDateText(*text) != bits) return std::nullopt;
    return text;
}

std::string FormatCurrencyText(int64_t tenThousandths) {
    const bool negative = tenThousandths < 0;
    const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(tenThousandths)
                                        : static_cast<uint64_t>(tenThousandths);
    std::string text = (negative ? "-" : "") + std::to_string(magnitude / kCurrencyScale);
    std::string fraction = std::to_string(magnitude % kCurrencyScale);
    fraction.insert(0, kCurrencyDecimals - fraction.size(), '0');
    while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
    return fraction.empty() ? text : text + "." + fraction;
}

std::optional<TExtendedBytes> ParseExtendedText(std::string_view text) {
    std::optional<long double> value = Parse<long double>(text);
    if (!value) return std::nullopt;
    return LongDoubleToExtended(*value);
}

std::optional<uint32_t> ParseSingleText(std::string_view text) {
    std::optional<float> value = Parse<float>(text);
    if (!value) return std::nullopt;
    return std::bit_cast<uint32_t>(*value);
}

std::optional<uint64_t> ParseDateText(std::string_view text) {
    std::optional<double> value = Parse<double>(text);
    if (!value) return std::nullopt;
    return std::bit_cast<uint64_t>(*value);
}

std::optional<int64_t> ParseCurrencyText(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.remove_prefix(1);
    const size_t point = text.find('.');
    std::string_view whole = text.substr(0, point);
    std::string_view fraction = point == std::string_view::npos ? "" : text.substr(point + 1);
    if (whole.empty() || fraction.size() > kCurrencyDecimals) return std::nullopt;
    uint64_t magnitude = 0;
    for (std::string_view part : {whole, fraction}) {
        for (char c : part) {
            if (c < '0' || c > '9') return std::nullopt;
            if (magnitude > (std::numeric_limits<uint64_t>::max() - 9) / 10) return std::nullopt;
            magnitude = magnitude * 10 + static_cast<uint64_t>(c - '0');
        }
    }
    for (size_t i = fraction.size(); i < kCurrencyDecimals; ++i) {
        if (magnitude > std::numeric_limits<uint64_t>::max() / 10) return std::nullopt;
        magnitude *= 10;
    }
    const uint64_t limit =
        static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) + (negative ? 1 : 0);
    if (magnitude > limit) return std::nullopt;
    return negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
}

}  // namespace korvane::racks
