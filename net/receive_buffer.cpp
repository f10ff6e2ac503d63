#include "net/receive_buffer.h"

namespace korvane::net {

void TReceiveBuffer::RemoveFirst(int64_t count) {
    if (count <= 0) return;
    if (static_cast<uint64_t>(count) >= m_text.size()) {
        m_text.clear();
        return;
    }
    m_text.erase(0, static_cast<size_t>(count));
}

}  // namespace korvane::net
