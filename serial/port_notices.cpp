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

void TPortNotices::AddMismatch(const std::string& text) { Keep(m_mismatches, text); }

std::vector<std::string> TPortNotices::Mismatches() const { return Copy(m_mismatches); }

void TPortNotices::AddRecordingFailure(const std::string& text) { Keep(m_recordingFailures, text); }

std::vector<std::string> TPortNotices::RecordingFailures() const {
    return Copy(m_recordingFailures);
}

void TPortNotices::Keep(std::vector<std::string>& list, const std::string& text) {
    std::lock_guard lock(m_mutex);
    list.push_back(text);
    if (m_listener) m_listener(text);
}

std::vector<std::string> TPortNotices::Copy(const std::vector<std::string>& list) const {
    std::lock_guard lock(m_mutex);
    return list;
}

}  // namespace korvane::serial
