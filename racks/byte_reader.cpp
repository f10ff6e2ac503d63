#include "racks/byte_reader.h"

namespace korvane::racks {

TByteReader::TByteReader(std::span<const uint8_t> bytes, size_t fileOffset)
    : m_bytes(bytes), m_fileOffset(fileOffset) {}

bool TByteReader::Fail(std::string message) {
    if (m_error.empty()) m_error = std::move(message);
    return false;
}

bool TByteReader::Need(size_t count) {
    if (Failed()) return false;
    if (count <= Remaining()) return true;
    return Fail("truncated at offset " + std::to_string(FileOffset()) + ": " +
                std::to_string(count) + " bytes needed, " + std::to_string(Remaining()) + " left");
}

bool TByteReader::PeekU8(uint8_t& out) {
    if (!Need(1)) return false;
    out = m_bytes[m_position];
    return true;
}

bool TByteReader::ReadU8(uint8_t& out) {
    if (!PeekU8(out)) return false;
    ++m_position;
    return true;
}

bool TByteReader::ReadU16(uint16_t& out) {
    if (!Need(2)) return false;
    out = static_cast<uint16_t>(m_bytes[m_position] | (m_bytes[m_position + 1] << 8));
    m_position += 2;
    return true;
}

bool TByteReader::ReadU32(uint32_t& out) {
    if (!Need(4)) return false;
    out = 0;
    for (int i = 3; i >= 0; --i) out = (out << 8) | m_bytes[m_position + i];
    m_position += 4;
    return true;
}

bool TByteReader::ReadU64(uint64_t& out) {
    if (!Need(8)) return false;
    out = 0;
    for (int i = 7; i >= 0; --i) out = (out << 8) | m_bytes[m_position + i];
    m_position += 8;
    return true;
}

bool TByteReader::ReadBytes(size_t count, std::string& out) {
    if (!Need(count)) return false;
    out.assign(reinterpret_cast<const char*>(m_bytes.data() + m_position), count);
    m_position += count;
    return true;
}

bool TByteReader::ReadShortString(std::string& out) {
    uint8_t length = 0;
    return ReadU8(length) && ReadBytes(length, out);
}

}  // namespace korvane::racks
