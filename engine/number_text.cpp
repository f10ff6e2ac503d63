#include "engine/number_text.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <optional>

#include "engine/text_utils.h"

namespace korvane::engine {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The significant digits of a value, at most 15 with trailing zeros removed, and its decimal
// exponent. True when they are the value's shortest exact reading, so the text made from
// them reads back as the very same number.
struct TDigits {
    char digits[24];
    size_t count = 0;
    int exponent = 0;
};

// Values with a few decimals ("17.5", "3.14159") are the common case. When the value times
// 10^k is a whole number N below 1E15 whose decimal N * 10^-k reads as the value itself, N's
// digits are the shortest exact reading: any other decimal of at most k places lies 10^-k
// or more away, farther than the value's rounding distance. Found with a few
// multiplications instead of a shortest-digits search; false leaves it to that search.
bool DecomposeFewDecimals(double value, TDigits& out) {
    static constexpr double kScales[] = {1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
    const double magnitude = std::fabs(value);
    for (size_t k = 1; k <= std::size(kScales); ++k) {
        const double scaled = magnitude * kScales[k - 1];
        if (scaled >= static_cast<double>(kMaxWholeNumber)) return false;
        if (scaled != std::trunc(scaled)) continue;
        if (scaled / kScales[k - 1] != magnitude) return false;
        const auto whole = static_cast<int64_t>(scaled);
        const auto end = std::to_chars(out.digits, out.digits + sizeof out.digits, whole).ptr;
        out.count = static_cast<size_t>(end - out.digits);
        out.exponent = static_cast<int>(out.count) - 1 - static_cast<int>(k);
        while (out.count > 1 && out.digits[out.count - 1] == '0') --out.count;
        return true;
    }
    return false;
}

bool Decompose(double value, TDigits& out) {
    if (DecomposeFewDecimals(value, out)) return true;
    char buffer[64];
    auto read = [&](std::to_chars_result result) {
        out.count = 0;
        const char* p = buffer;
        for (; p < result.ptr && *p != 'e'; ++p) {
            if (IsDigit(*p)) out.digits[out.count++] = *p;
        }
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), result.ptr, out.exponent);
    };
    // The shortest text that reads back exactly; when that needs more than 15 digits, the
    // value rounded to 15.
    read(std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific));
    const bool exact = out.count <= 15;
    if (!exact) {
        read(std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 14));
    }
    while (out.count > 1 && out.digits[out.count - 1] == '0') --out.count;
    return exact;
}

// Fixed notation from 0.00001 up to 15 integer digits, otherwise "1E20" / "1.5E-7".
void Notation(bool negative, const TDigits& d, std::string& text) {
    char out[64];
    size_t n = 0;
    auto put = [&](char c) { out[n++] = c; };
    auto putDigits = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i) put(d.digits[i]);
    };
    if (negative) put('-');
    if (d.exponent >= -5 && d.exponent < 15) {
        if (d.exponent < 0) {
            put('0');
            put('.');
            for (int i = 0; i < -d.exponent - 1; ++i) put('0');
            putDigits(0, d.count);
        } else {
            const size_t intDigits = static_cast<size_t>(d.exponent) + 1;
            putDigits(0, std::min(d.count, intDigits));
            for (size_t i = d.count; i < intDigits; ++i) put('0');
            if (d.count > intDigits) {
                put('.');
                putDigits(intDigits, d.count);
            }
        }
    } else {
        put(d.digits[0]);
        if (d.count > 1) {
            put('.');
            putDigits(1, d.count);
        }
        put('E');
        if (d.exponent < 0) put('-');
        n = static_cast<size_t>(std::to_chars(out + n, out + sizeof out, std::abs(d.exponent)).ptr - out);
    }
    text.assign(out, n);
}

enum class TNumberScan { NotANumber, Read, NeedsFullParse };

// One pass over a trimmed text: whether it follows the number-text grammar (from_chars alone
// would also take "inf" or hex) and, for one of at most 15 significant digits whose point and
// exponent together shift it by at most 22 places, its value. The digits and the power of ten
// are then both exact doubles, so the one multiplication or division rounds to the same
// double as the full parse.
TNumberScan ScanNumber(std::string_view t, double& value) {
    static constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                              1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                              1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
    size_t i = 0;
    const bool negative = !t.empty() && t[0] == '-';
    if (!t.empty() && (t[0] == '+' || t[0] == '-')) ++i;
    uint64_t digits = 0;  // wraps harmlessly past 19 digits: only 15 are ever used
    int significant = 0;
    int mantissaDigits = 0;
    int shift = 0;
    auto take = [&](char c) {
        if (significant > 0 || c != '0') ++significant;
        digits = digits * 10 + static_cast<uint64_t>(c - '0');
        ++mantissaDigits;
    };
    for (; i < t.size() && IsDigit(t[i]); ++i) take(t[i]);
    const bool whole = i == t.size();
    if (i < t.size() && t[i] == '.') {
        for (++i; i < t.size() && IsDigit(t[i]); ++i, --shift) take(t[i]);
    }
    if (mantissaDigits == 0) return TNumberScan::NotANumber;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        const bool down = i < t.size() && t[i] == '-';
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        int exponent = 0;
        int exponentDigits = 0;
        for (; i < t.size() && IsDigit(t[i]); ++i, ++exponentDigits) {
            if (exponent < 1000) exponent = exponent * 10 + (t[i] - '0');
        }
        if (exponentDigits == 0) return TNumberScan::NotANumber;
        shift += down ? -exponent : exponent;
    }
    if (i != t.size()) return TNumberScan::NotANumber;
    if (significant > 15 || shift < -22 || shift > 22) return TNumberScan::NeedsFullParse;
    const double magnitude = shift < 0 ? static_cast<double>(digits) / kPowersOfTen[-shift]
                                       : static_cast<double>(digits) * kPowersOfTen[shift];
    // A whole "-0" reads as 0; "-0.0" keeps its sign, as the full parse gives it.
    value = negative && !(whole && digits == 0) ? -magnitude : magnitude;
    return TNumberScan::Read;
}

}  // namespace

std::string FormatNumber(double value) {
    bool exact = false;
    return FormatNumber(value, exact);
}

std::string FormatNumber(double value, bool& exact) {
    std::string text;
    FormatNumberInto(value, exact, text);
    return text;
}

size_t WholeTextSize(double value) {
    static constexpr uint64_t kPowersOfTen[] = {
        1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL, 10000000ULL, 100000000ULL,
        1000000000ULL, 10000000000ULL, 100000000000ULL, 1000000000000ULL, 10000000000000ULL,
        100000000000000ULL, 1000000000000000ULL, 10000000000000000ULL, 100000000000000000ULL,
        1000000000000000000ULL, 10000000000000000000ULL};
    const auto magnitude = static_cast<uint64_t>(static_cast<int64_t>(value < 0 ? -value : value));
    // Bits times log10(2) is the count of digits or one less.
    const auto guess = static_cast<size_t>((std::bit_width(magnitude) * 1233) >> 12);
    const size_t digits = guess + (magnitude >= kPowersOfTen[guess] ? 1 : 0);
    return (digits == 0 ? 1 : digits) + (value < 0 ? 1 : 0);
}

void WriteWholeInto(double value, std::string& text) {
    text.clear();
    AppendWhole(value, text);
}

void AppendWhole(double value, std::string& text) {
    char buffer[24];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, static_cast<int64_t>(value)).ptr;
    text.append(buffer, end);
}

void FormatNumberInto(double value, bool& exact, std::string& text) {
    exact = false;
    if (std::isnan(value)) {
        text = "NAN";
    } else if (std::isinf(value)) {
        text = value > 0 ? "INF" : "-INF";
    } else if (std::fabs(value) < static_cast<double>(kMaxWholeNumber) && value == std::trunc(value)) {
        // Whole numbers below 15 digits are the common case and print as they are ("-0" too
        // prints as "0").
        exact = true;
        WriteWholeInto(value, text);
    } else {
        TDigits digits;
        exact = Decompose(value, digits);
        Notation(value < 0, digits, text);
    }
}

std::optional<double> ParseNumber(std::string_view text) {
    std::string_view t = TrimView(text);
    double value = 0;
    const TNumberScan scan = ScanNumber(t, value);
    if (scan == TNumberScan::NotANumber) return std::nullopt;
    if (scan == TNumberScan::Read) return value;
    if (t[0] == '+') t.remove_prefix(1);
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
