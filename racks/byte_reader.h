#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace korvane::racks {

// Little-endian reads from a byte range that never step past its end. The first failed read
// keeps a message naming the offset (counted from the start of the file), and every later read
// fails too, so a caller may check once after a group of reads.
class TByteReader {
 public:
    TByteReader(std::span<const uint8_t> bytes, size_t fileOffset);

    bool Failed() const { return !m_error.empty(); }
    const std::string& Error() const { return m_error; }
    size_t Position() const { return m_position; }  // within the range
    size_t FileOffset() const { return m_fileOffset + m_position; }
    size_t Remaining() const { return m_bytes.size() - m_position; }

    bool PeekU8(uint8_t& out);
    bool ReadU8(uint8_t& out);
    bool ReadU16(uint16_t& out);
    bool ReadU32(uint32_t& out);
    bool ReadU64(uint64_t& out);
    // Checks the length against the bytes left before anything is allocated.
    bool ReadBytes(size_t count, std::string& out);
    bool ReadShortString(std::string& out);
    bool Fail(std::string message);

 private:
    bool Need(size_t count);

    std::span<const uint8_t> m_bytes;
    size_t m_fileOffset;
    size_t m_position = 0;
    std::string m_error;
};

}  // namespace korvane::racks
