#pragma once

#include <map>
#include <string>
#include <string_view>

namespace korvane::engine {

// The lines whose last execution failed, each with its message: a command that set `error`,
// or an assignment whose expression could not be computed. The workbench marks them in its
// margin and korvane-run --warn prints them; neither the log nor `error` sees this record.
class TStatementFailures {
public:
    void Clear() { m_lines.clear(); }
    // A statement on `line` (editor line from 0) starts: an earlier failure there is history.
    void Started(int line) {
        if (!m_lines.empty()) m_lines.erase(line);
    }
    void Failed(int line, std::string_view message);
    const std::map<int, std::string>& Lines() const { return m_lines; }
    std::size_t Count() const { return m_lines.size(); }

private:
    std::map<int, std::string> m_lines;
};

// "FILE:LINE: message" for each failed line in order, lines counted from 1, each ended by LF.
std::string FailureReport(const TStatementFailures& failures, std::string_view file);

// "1 statement failed", "3 statements failed"; empty when none did.
std::string FailureCountText(std::size_t count);

}  // namespace korvane::engine
