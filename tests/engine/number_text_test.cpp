#include "engine/number_text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace korvane::engine {
namespace {

TEST(FormatNumber, GeneralFormatWithFifteenDigits) {
    struct Case {
        double value;
        const char* text;
    };
    const Case cases[] = {
        {7, "7"},
        {0.25, "0.25"},
        {1e20, "1E20"},
        {1.5e-7, "1.5E-7"},
        {1.0 / 3, "0.333333333333333"},
        {-2, "-2"},
        {0.00001, "0.00001"},
        {0.000001, "1E-6"},
        {123456789012345, "123456789012345"},
        {1e15, "1E15"},
        {-0.0, "0"},
        {1000, "1000"},
        {2.5e-5, "0.000025"},
        {-1.25e100, "-1.25E100"},
        {0.1 + 0.2, "0.3"},
    };
    for (const Case& c : cases) EXPECT_EQ(FormatNumber(c.value), c.text) << c.value;
}

// Numbers of every size, short and long in digits: the text must read as the value rounded to
// 15 significant digits, and a text said to be exact must read as the value itself.
TEST(FormatNumber, ReadsAsTheValueRoundedToFifteenDigits) {
    std::mt19937_64 random(20261210);
    for (int i = 0; i < 20000; ++i) {
        double value = 0;
        if (i % 2 == 0) {
            const uint64_t bits = random();
            std::memcpy(&value, &bits, sizeof value);
            if (!std::isfinite(value)) continue;
        } else {
            // Few digits at a random scale: the shortest reading is what prints.
            value = static_cast<double>(static_cast<int64_t>(random() % 2000001) - 1000000) *
                    std::pow(10.0, static_cast<int>(random() % 60) - 30);
        }
        char rounded[64];
        std::snprintf(rounded, sizeof rounded, "%.14e", value);
        bool exact = false;
        const std::string text = FormatNumber(value, exact);
        const auto read = ParseNumber(text);
        ASSERT_TRUE(read.has_value()) << text;
        EXPECT_EQ(*read, std::strtod(rounded, nullptr)) << text << " for " << rounded;
        if (exact) {
            EXPECT_EQ(*read, value) << text;
        }
    }
}

// The digits a text shows and the decimal exponent of its first one: "-0.0125" -> 125, -2.
std::pair<std::string, int> DigitsAndExponent(const std::string& text) {
    const size_t e = text.find('E');
    std::string mantissa = text.substr(0, e);
    int exponent = e == std::string::npos ? 0 : std::atoi(text.c_str() + e + 1);
    if (!mantissa.empty() && mantissa[0] == '-') mantissa.erase(0, 1);
    const size_t point = mantissa.find('.');
    const int integerDigits =
        static_cast<int>(point == std::string::npos ? mantissa.size() : point);
    if (point != std::string::npos) mantissa.erase(point, 1);
    const size_t first = mantissa.find_first_not_of('0');
    exponent += integerDigits - 1 - static_cast<int>(first);
    mantissa.erase(0, first);
    while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();
    return {mantissa, exponent};
}

// Whenever the shortest reading that gives the value back has at most 15 digits, those are
// the digits shown, whatever way they were found: short decimals, long ones, sums that miss
// their decimal by one unit, at every scale and sign.
TEST(FormatNumber, ShowsTheShortestExactDigits) {
    std::mt19937_64 random(20261210);
    std::vector<double> values = {0.1 + 0.2, 17.5, -123.25, 0.001, 99999999.99999999, 1.1, 2.675};
    for (int i = 0; i < 200000; ++i) {
        const int64_t whole = static_cast<int64_t>(random() % 1'000'000'000'000'000) *
                              (random() % 2 ? 1 : -1);
        const int64_t digits = static_cast<int64_t>(random() % 100000);
        auto scale = [&random](int places) {
            return std::pow(10.0, static_cast<double>(random() % static_cast<uint64_t>(places)));
        };
        switch (i % 4) {
            case 0: values.push_back(static_cast<double>(digits) / scale(12));
                break;
            case 1: values.push_back(static_cast<double>(whole) / scale(20));
                break;
            case 2: values.push_back(static_cast<double>(digits) / 100.0 +
                                     static_cast<double>(random() % 1000) / 1000.0);
                break;
            default: {
                double value = 0;
                const uint64_t bits = random();
                std::memcpy(&value, &bits, sizeof value);
                if (std::isfinite(value)) values.push_back(value);
            }
        }
    }
    for (const double value : values) {
        char shortest[64];
        const auto end = std::to_chars(shortest, shortest + sizeof shortest, value,
                                       std::chars_format::scientific).ptr;
        std::string reference(shortest, end);
        for (char& c : reference) c = c == 'e' ? 'E' : c;
        const auto expected = DigitsAndExponent(reference);
        if (expected.first.size() > 15 || value == std::trunc(value)) continue;
        EXPECT_EQ(DigitsAndExponent(FormatNumber(value)), expected) << reference;
    }
}

// The data bound counts a stored whole number by this length before any text is written.
TEST(WholeTextSize, IsTheLengthOfTheWrittenText) {
    std::vector<double> values = {0, -0.0, 1, -1, 999999999999999, -999999999999999};
    for (double power = 1; power < 1e15; power *= 10) {
        for (double near : {power - 1, power, power + 1}) {
            values.push_back(near);
            values.push_back(-near);
        }
    }
    for (const double value : values) {
        EXPECT_EQ(WholeTextSize(value), FormatNumber(value).size()) << value;
    }
}

// Every number text reads as the full decimal parse reads it, bit for bit and sign of zero
// included, whether it is short enough for the quick reading or not.
TEST(ParseNumber, ReadsAsTheFullParse) {
    std::mt19937_64 random(20261210);
    auto digits = [&random](size_t count) {
        std::string text;
        for (size_t i = 0; i < count; ++i) text += static_cast<char>('0' + random() % 10);
        return text;
    };
    for (int i = 0; i < 200000; ++i) {
        std::string text = (random() % 3 == 0) ? "-" : "";
        text += digits(random() % 12);
        if (random() % 4 != 0) text += "." + digits(random() % 12);
        if (text.find_first_of("0123456789") == std::string::npos) text += "0";
        if (random() % 3 == 0) {
            text += random() % 2 ? "E" : "e";
            text += std::string(random() % 2 ? "-" : "") + std::to_string(random() % 40);
        }
        double expected = 0;
        std::from_chars(text.data(), text.data() + text.size(), expected);
        const std::optional<double> read = ParseNumber(text);
        ASSERT_TRUE(read.has_value()) << text;
        // Whole texts have their own reading, in which "-0" is 0.
        if (expected == 0 && text.find_first_of(".eE") == std::string::npos) expected = 0;
        EXPECT_EQ(std::memcmp(&*read, &expected, sizeof expected), 0) << text;
    }
}

TEST(ParseNumber, AcceptsOnlyNumberTexts) {
    EXPECT_EQ(ParseNumber("007"), 7);
    EXPECT_EQ(ParseNumber(" 1.50 "), 1.5);
    EXPECT_EQ(ParseNumber("1e3"), 1000);
    EXPECT_EQ(ParseNumber("+.5"), 0.5);
    EXPECT_EQ(ParseNumber("5."), 5);
    EXPECT_EQ(ParseNumber("-2E-2"), -0.02);
    for (const char* bad : {"", ".", "abc", "12V", "1e", "0x1F", "inf", "nan", "1 2", "--1",
                            "+", "-", "1e+", "1.e", "e5", ".e1", "1.2.3", "+-1", "1E--2", "1e5x",
                            "12345678901234567890x"}) {
        EXPECT_FALSE(ParseNumber(bad).has_value()) << bad;
    }
}

TEST(LenientNumber, DigitsFromTheStartWithoutSignPointOrExponent) {
    struct Case {
        const char* text;
        double value;
    };
    const Case cases[] = {{"", 0},   {"abc", 0}, {"12V", 12}, {"-3x", 3},
                          {"1.5x", 15}, {"5", 5}, {"-2.5", -2.5}, {"1e3", 1000}};
    for (const Case& c : cases) EXPECT_EQ(LenientNumber(c.text), c.value) << c.text;
}

TEST(StrictInt, SignAndDigitsWithinThirtyTwoBits) {
    EXPECT_EQ(StrictInt("42"), 42);
    EXPECT_EQ(StrictInt("-2147483648"), INT32_MIN);
    EXPECT_EQ(StrictInt("+7"), 7);
    for (const char* bad : {"", "-", "2147483648", "1.0", " 1", "1e3", "0x10", "99999999999999"}) {
        EXPECT_FALSE(StrictInt(bad).has_value()) << bad;
    }
}

TEST(NumberText, IgnoresTheLocale) {
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") && !std::setlocale(LC_ALL, "fr_FR.UTF-8")) {
        GTEST_SKIP() << "no comma-decimal locale installed";
    }
    EXPECT_EQ(FormatNumber(0.25), "0.25");
    EXPECT_EQ(ParseNumber("1.5"), 1.5);
    std::setlocale(LC_ALL, "C");
}

}  // namespace
}  // namespace korvane::engine
