#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "racks/result.h"

namespace korvane::racks {

// The one 16-bit resource entry in front of a rack's form stream: 0xFF, type 10 (RCDATA), a
// NUL-terminated name, memory flags and the stream size.
inline constexpr uint8_t kResourceTypeByNumber = 0xFF;
inline constexpr uint16_t kResourceTypeRcData = 10;
inline constexpr uint16_t kResourceMemoryFlags = 0x1030;
inline constexpr size_t kResourceNameMax = 63;

// Checks the first byte and the type, skips name, flags and size, and returns where the form
// stream begins. The flags and size are not trusted: the stream is read to its own end.
TResult<size_t> ReadRackHeader(std::span<const uint8_t> bytes);

// The header for a stream of streamSize bytes whose root has rootClassName: the name is the
// class name in ASCII upper case, cut at 63 characters (and at a NUL, which would end it early).
std::string WriteRackHeader(std::string_view rootClassName, uint32_t streamSize);

}  // namespace korvane::racks
