#include "byte_queue.h"

#include <algorithm>

namespace korvane::serial {

namespace {
// Taken bytes are dropped from memory once they are this many and at least half the buffer.
constexpr std::size_t kCompactThreshold = 64 * 1024;
}  // namespace

bool TByteQueue::Append(std::string_view data) {
    if (data.size() > m_capacity - Size()) {
        return false;
    }
    m_bytes.append(data);
    return true;
}

void TByteQueue::Consume(std::size_t count) {
    m_head += std::min(count, Size());
    if (m_head == m_bytes.size()) {
        Clear();
    } else if (m_head >= kCompactThreshold && m_head * 2 >= m_bytes.size()) {
        m_bytes.erase(0, m_head);
        m_head = 0;
    }
}

void TByteQueue::Clear() {
    m_bytes.clear();
    if (m_bytes.capacity() > kCompactThreshold) {
        m_bytes.shrink_to_fit();
    }
    m_head = 0;
}

}  // namespace korvane::serial
