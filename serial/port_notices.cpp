#include "port_notices.h"

namespace korvane::serial {

void TPortNotices::SetListener(TListener listener) {
    std::lock_guard lock(m_mutex);
    m_listener = std::move(listener);
}

void TPortNotices::Note(const std::string& text) {
    std::lock_guard lock(m_mutex);
    if (m_listener) m_listener(text);
}

void TPortNotices::AddMismatch(const std::string& text) {
    std::lock_guard lock(m_mutex);
    m_mismatches.push_back(text);
    if (m_listener) m_listener(text);
}

std::vector<std::string> TPortNotices::Mismatches() const {
    std::lock_guard lock(m_mutex);
    return m_mismatches;
}

}  // namespace korvane::serial
