#include "engine/statement_failures.h"

namespace korvane::engine {

void TStatementFailures::Failed(int line, std::string_view message) {
    if (line < 0) return;
    m_lines.insert_or_assign(line, std::string(message));
}

std::string FailureReport(const TStatementFailures& failures, std::string_view file) {
    std::string report;
    for (const auto& [line, message] : failures.Lines()) {
        report.append(file).append(":").append(std::to_string(line + 1)).append(": ");
        report.append(message).append("\n");
    }
    return report;
}

std::string FailureCountText(std::size_t count) {
    if (count == 0) return {};
    return std::to_string(count) + (count == 1 ? " statement failed" : " statements failed");
}

}  // namespace korvane::engine
