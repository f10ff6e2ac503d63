#pragma once

#include "racks/form_value.h"

namespace korvane::racks {

// Conversions between the stored 80-bit extended format and the machine's long double. Decoding
// is exact wherever long double has a 64-bit mantissa or more; encoding rounds to 64 bits.
long double ExtendedToLongDouble(const TExtendedBytes& bytes);
TExtendedBytes LongDoubleToExtended(long double value);

}  // namespace korvane::racks
