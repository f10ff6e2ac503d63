#include "engine/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

#include "engine/text_utils.h"

namespace korvane::engine {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Splits a value into its 15 significant digits (trailing zeros removed) and decimal exponent.
void Decompose(double value, std::string& digits, int& exponent) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14);
    std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    const size_t e = text.find('e');
    digits.clear();
    for (char c : text.substr(0, e)) {
        if (IsDigit(c)) digits.push_back(c);
    }
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();
    std::string_view expText = text.substr(e + 1);
    if (!expText.empty() && expText[0] == '+') expText.remove_prefix(1);
    std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
}

std::string FixedNotation(const std::string& digits, int exponent) {
    if (exponent < 0) return "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    const size_t intDigits = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= intDigits) return digits + std::string(intDigits - digits.size(), '0');
    return digits.substr(0, intDigits) + "." + digits.substr(intDigits);
}

std::string ScientificNotation(const std::string& digits, int exponent) {
    std::string out(1, digits[0]);
    if (digits.size() > 1) out += "." + digits.substr(1);
    out += 'E';
    if (exponent < 0) out += '-';
    out += std::to_string(std::abs(exponent));
    return out;
}

enum class TNumberShape { None, Whole, Other };

// Accepts exactly the number-text grammar; from_chars alone would also take "inf" or hex.
// Tells apart the common shape, an optional sign and digits only.
TNumberShape NumberTextShape(std::string_view t) {
    size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t mantissaDigits = 0;
    while (i < t.size() && IsDigit(t[i])) ++i, ++mantissaDigits;
    if (i == t.size()) return mantissaDigits == 0 ? TNumberShape::None : TNumberShape::Whole;
    if (t[i] == '.') {
        ++i;
        while (i < t.size() && IsDigit(t[i])) ++i, ++mantissaDigits;
    }
    if (mantissaDigits == 0) return TNumberShape::None;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < t.size() && IsDigit(t[i])) ++i, ++expDigits;
        if (expDigits == 0) return TNumberShape::None;
    }
    return i == t.size() ? TNumberShape::Other : TNumberShape::None;
}

}  // namespace

std::string FormatNumber(double value) {
    if (std::isnan(value)) return "NAN";
    if (std::isinf(value)) return value > 0 ? "INF" : "-INF";
    if (value == 0) return "0";
    // Whole numbers below 15 digits are the common case and print as they are.
    if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
        return std::to_string(static_cast<int64_t>(value));
    }
    std::string digits;
    int exponent = 0;
    Decompose(value, digits, exponent);
    const std::string sign = value < 0 ? "-" : "";
    if (exponent >= -5 && exponent < 15) return sign + FixedNotation(digits, exponent);
    return sign + ScientificNotation(digits, exponent);
}

std::optional<double> ParseNumber(std::string_view text) {
    std::string_view t = TrimView(text);
    const TNumberShape shape = NumberTextShape(t);
    if (shape == TNumberShape::None) return std::nullopt;
    if (t[0] == '+') t.remove_prefix(1);
    // Short whole numbers, the common case, need no floating-point parse.
    if (shape == TNumberShape::Whole && t.size() <= 16) {
        const bool negative = t[0] == '-';
        int64_t whole = 0;
        for (char c : t.substr(negative ? 1 : 0)) whole = whole * 10 + (c - '0');
        return static_cast<double>(negative ? -whole : whole);
    }
    double value = 0;
    const auto result = std::from_chars(t.data(), t.data() + t.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Underflow reads as zero; overflow is no number.
        const size_t e = t.find_first_of("eE");
        if (e != std::string_view::npos && t.substr(e + 1, 1) == "-") return 0.0;
        return std::nullopt;
    }
    if (result.ec != std::errc()) return std::nullopt;
    return value;
}

double LenientNumber(std::string_view text) {
    if (auto number = ParseNumber(text)) return *number;
    double value = 0;
    bool seenDigit = false, seenPoint = false, seenExponent = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            value = value * 10 + (c - '0');
            seenDigit = true;
        } else if ((c == '+' || c == '-') &&
                   (i == 0 || (seenExponent && (text[i - 1] == 'e' || text[i - 1] == 'E')))) {
            continue;
        } else if (c == '.' && !seenPoint && !seenExponent) {
            seenPoint = true;
        } else if ((c == 'e' || c == 'E') && seenDigit && !seenExponent) {
            seenExponent = true;
        } else {
            break;
        }
    }
    return value;
}

bool IsExponentSign(std::string_view text, size_t start, size_t sign) {
    if (sign < start + 2 || (text[sign - 1] != 'e' && text[sign - 1] != 'E')) return false;
    size_t i = start;
    while (i < sign - 1 && (text[i] == ' ' || text[i] == '\t')) ++i;
    size_t digits = 0;
    bool point = false;
    for (; i < sign - 1; ++i) {
        if (IsDigit(text[i])) {
            ++digits;
        } else if (text[i] == '.' && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0;
}

std::optional<int32_t> StrictInt(std::string_view text) {
    if (text.empty()) return std::nullopt;
    size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (i == text.size()) return std::nullopt;
    int64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i])) return std::nullopt;
        magnitude = magnitude * 10 + (text[i] - '0');
        if (magnitude > (int64_t{1} << 31)) return std::nullopt;
    }
    const int64_t value = text[0] == '-' ? -magnitude : magnitude;
    if (value > INT32_MAX || value < INT32_MIN) return std::nullopt;
    return static_cast<int32_t>(value);
}

}  // namespace korvane::engine
