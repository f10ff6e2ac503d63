#pragma once

#include <array>
#include <cstdint>

namespace korvane::racks {

// Seven-segment patterns: bit 0 is segment a (top), then b, c, d, e, f clockwise, bit 6 is g
// (middle). Digits, blank, minus and a few letters; anything else shows as blank.
uint8_t SevenSegmentMask(char c);

// A 5 x 7 dot-matrix character: five columns, bit 0 the top row. Printable ASCII; other
// bytes show as a filled box.
std::array<uint8_t, 5> MatrixGlyph(char c);

}  // namespace korvane::racks
