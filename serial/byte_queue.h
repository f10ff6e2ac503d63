#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace korvane::serial {

// A bounded first-in first-out byte buffer: bytes go in at the back and are taken from
// the front in order. Not thread-safe; its owner locks.
class TByteQueue {
 public:
    explicit TByteQueue(std::size_t capacity) : m_capacity(capacity) {}

    // All or nothing: false, and nothing added, if the bytes would not fit.
    bool Append(std::string_view data);
    // The bytes not yet taken, oldest first.
    std::string_view Front() const { return std::string_view(m_bytes).substr(m_head); }
    void Consume(std::size_t count);
    void Clear();

    std::size_t Size() const { return m_bytes.size() - m_head; }
    bool Empty() const { return Size() == 0; }

 private:
    std::size_t m_capacity;
    std::string m_bytes;
    std::size_t m_head = 0;
};

}  // namespace korvane::serial
