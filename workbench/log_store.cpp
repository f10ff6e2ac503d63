#include "workbench/log_store.h"

#include <algorithm>

namespace korvane::workbench {

namespace {

// A trim takes the store down to this share of its bounds, so the next one is far off.
constexpr std::size_t kKeptPercent = 80;

}  // namespace

TLogStore::TLogStore(TLogBounds bounds) : m_bounds(bounds) {}

std::size_t TLogStore::Append(std::string_view line) {
    m_lines.emplace_back(line);
    m_bytes += line.size();
    if (m_lines.size() <= m_bounds.maxLines && m_bytes <= m_bounds.maxBytes) return 0;
    const std::size_t before = m_removed;
    Trim();
    return m_removed - before;
}

void TLogStore::Trim() {
    const std::size_t keepLines = std::max<std::size_t>(1, m_bounds.maxLines * kKeptPercent / 100);
    const std::size_t keepBytes = m_bounds.maxBytes * kKeptPercent / 100;
    // The newest line always stays, however long it is.
    while (m_lines.size() > 1 && (m_lines.size() > keepLines || m_bytes > keepBytes)) {
        m_bytes -= m_lines.front().size();
        m_lines.pop_front();
        ++m_removed;
    }
    m_note = RemovalNote(m_removed);
}

void TLogStore::Clear() {
    m_lines.clear();
    m_bytes = 0;
    m_removed = 0;
    m_note.clear();
}

const std::string& TLogStore::Line(std::size_t index) const {
    if (m_removed == 0) return m_lines[index];
    return index == 0 ? m_note : m_lines[index - 1];
}

std::string TLogStore::Bytes() const {
    std::string bytes;
    bytes.reserve(m_bytes + LineCount() + m_note.size());
    for (std::size_t i = 0; i < LineCount(); ++i) bytes.append(Line(i)).push_back('\n');
    return bytes;
}

std::string RemovalNote(std::size_t removed) {
    return "[" + std::to_string(removed) +
           " earlier lines removed to keep the log pane within its memory bound; korvane-run "
           "writes every line to standard output]";
}

std::string ShownLine(std::string_view line) {
    if (line.size() <= kShownLineLimit) return std::string(line);
    return std::string(line.substr(0, kShownLineLimit)) + " ... [line of " +
           std::to_string(line.size()) + " characters shortened; Save log keeps it whole]";
}

}  // namespace korvane::workbench
