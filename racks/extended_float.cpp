#include "racks/extended_float.h"

#include <cmath>
#include <limits>

namespace korvane::racks {
namespace {

constexpr int kExponentBias = 16383;
constexpr int kMantissaBits = 64;
constexpr uint16_t kExponentAllOnes = 0x7FFF;
constexpr uint16_t kSignBit = 0x8000;
// The value of the lowest mantissa bit of a number with a zero exponent field.
constexpr int kDenormalScale = 1 - kExponentBias - (kMantissaBits - 1);

TExtendedBytes Pack(uint64_t mantissa, uint16_t signAndExponent) {
    TExtendedBytes bytes{};
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(mantissa >> (8 * i));
    bytes[8] = static_cast<uint8_t>(signAndExponent);
    bytes[9] = static_cast<uint8_t>(signAndExponent >> 8);
    return bytes;
}

}  // namespace

long double ExtendedToLongDouble(const TExtendedBytes& bytes) {
    uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i) mantissa = (mantissa << 8) | bytes[i];
    const uint16_t top = static_cast<uint16_t>(bytes[8] | (bytes[9] << 8));
    const bool negative = (top & kSignBit) != 0;
    const int exponent = top & kExponentAllOnes;
    long double magnitude;
    if (exponent == kExponentAllOnes) {
        const bool infinite = (mantissa << 1) == 0;
        magnitude = infinite ? std::numeric_limits<long double>::infinity()
                             : std::numeric_limits<long double>::quiet_NaN();
    } else if (exponent == 0) {
        magnitude = std::ldexp(static_cast<long double>(mantissa), kDenormalScale);
    } else {
        magnitude = std::ldexp(static_cast<long double>(mantissa),
                               exponent - kExponentBias - (kMantissaBits - 1));
    }
    return negative ? -magnitude : magnitude;
}

TExtendedBytes LongDoubleToExtended(long double value) {
    const uint16_t sign = std::signbit(value) ? kSignBit : 0;
    if (std::isnan(value)) return Pack(0xC000000000000000ULL, sign | kExponentAllOnes);
    if (std::isinf(value)) return Pack(0x8000000000000000ULL, sign | kExponentAllOnes);
    if (value == 0) return Pack(0, sign);

    int exponent = 0;
    const long double fraction = std::frexp(std::fabs(value), &exponent);  // in [0.5, 1)
    const int biased = exponent + kExponentBias - 1;
    if (biased >= kExponentAllOnes) return Pack(0x8000000000000000ULL, sign | kExponentAllOnes);
    if (biased <= 0) {
        const long double scaled = std::ldexp(fraction, exponent - kDenormalScale);
        return Pack(static_cast<uint64_t>(std::nearbyint(scaled)), sign);
    }
    const long double scaled = std::ldexp(fraction, kMantissaBits);
    return Pack(static_cast<uint64_t>(scaled), static_cast<uint16_t>(sign | biased));
}

}  // namespace korvane::racks
