#include "racks/rack_header.h"

#include <algorithm>

#include "racks/byte_reader.h"

namespace korvane::racks {
namespace {

std::string HexByte(uint8_t byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("0x") + kDigits[byte >> 4] + kDigits[byte & 0x0F];
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

TResult<size_t> ReadRackHeader(std::span<const uint8_t> bytes) {
    TByteReader in(bytes, 0);
    uint8_t first = 0;
    uint16_t type = 0;
    if (in.ReadU8(first) && first != kResourceTypeByNumber) {
        return TResult<size_t>::Failure("not a rack file: first byte is " + HexByte(first) +
                                        ", not 0xFF");
    }
    if (in.ReadU16(type) && type != kResourceTypeRcData) {
        return TResult<size_t>::Failure("not a rack file: resource type is " +
                                        std::to_string(type) + ", not 10 (RCDATA)");
    }
    uint8_t nameByte = 0;
    do {
        in.ReadU8(nameByte);
    } while (!in.Failed() && nameByte != 0);
    uint16_t flags = 0;
    uint32_t size = 0;
    in.ReadU16(flags);
    in.ReadU32(size);
    if (in.Failed()) return TResult<size_t>::Failure("bad rack header: " + in.Error());
    return in.Position();
}

std::string WriteRackHeader(std::string_view rootClassName, uint32_t streamSize) {
    std::string header;
    header += static_cast<char>(kResourceTypeByNumber);
    header += static_cast<char>(kResourceTypeRcData & 0xFF);
    header += static_cast<char>(kResourceTypeRcData >> 8);
    const size_t nul = std::min(rootClassName.find('\0'), rootClassName.size());
    for (char c : rootClassName.substr(0, std::min(nul, kResourceNameMax))) header += AsciiUpper(c);
    header += '\0';
    header += static_cast<char>(kResourceMemoryFlags & 0xFF);
    header += static_cast<char>(kResourceMemoryFlags >> 8);
    for (int i = 0; i < 4; ++i) header += static_cast<char>(streamSize >> (8 * i));
    return header;
}

}  // namespace korvane::racks
