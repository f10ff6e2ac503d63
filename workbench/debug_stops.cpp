#include "workbench/debug_stops.h"

namespace korvane::workbench {

void TDebugStops::SetBreakpoints(const std::vector<int>& lines) {
    m_breakpoints.clear();
    for (int line : lines) {
        if (line < 0) continue;
        const auto index = static_cast<std::size_t>(line);
        if (index >= m_breakpoints.size()) m_breakpoints.resize(index + 1, 0);
        m_breakpoints[index] = 1;
    }
}

void TDebugStops::ClearOneTimeStop() {
    m_stopAtNext = false;
    m_onceAt = -1;
}

bool TDebugStops::ShouldStop(int line) {
    if (line < 0) return false;
    const bool once = m_stopAtNext || line == m_onceAt;
    if (once) ClearOneTimeStop();
    const auto index = static_cast<std::size_t>(line);
    return once || (index < m_breakpoints.size() && m_breakpoints[index] != 0);
}

}  // namespace korvane::workbench
