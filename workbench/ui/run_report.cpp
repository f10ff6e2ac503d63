#include "workbench/ui/run_report.h"

#include "workbench/ui/failure_marks.h"
#include "workbench/ui/script_editor.h"
#include "workbench/ui/status_line.h"

namespace korvane::workbench {

namespace {

constexpr std::string_view kErrorPrefix = "Error: ";
constexpr std::string_view kUnterminated = "Error: unterminated block";
constexpr std::string_view kUnexpected = "Error: unexpected";

// The report's lines without "Error: ", one for each line the check names.
std::string_view ReportPart(std::string_view report, std::string_view start) {
    const std::size_t at = report.find(start);
    if (at == std::string_view::npos) return {};
    std::string_view part = report.substr(at + kErrorPrefix.size());
    return part.substr(0, part.find('\r'));
}

}  // namespace

void ShowRefusal(const engine::TBlockCheck& check, TScriptEditor& editor, TFailureMarks& marks,
                 TStatusLine& status) {
    marks.Clear();
    const std::string_view unexpected = ReportPart(check.report, kUnexpected);
    const std::string_view unterminated = ReportPart(check.report, kUnterminated);
    if (check.unexpectedLine >= 0) marks.Add(check.unexpectedLine, std::string(unexpected));
    if (check.unterminatedLine >= 0) {
        marks.Add(check.unterminatedLine, std::string(unterminated) + " opened here");
    }
    editor.MarkErrorLine(check.unexpectedLine >= 0 ? check.unexpectedLine : check.unterminatedLine);
    status.SetState(TRunState::Refused);
    const std::string_view reason = unexpected.empty() ? unterminated : unexpected;
    status.SetProblems(QString::fromLatin1(reason.data(), static_cast<qsizetype>(reason.size())));
}

void ShowFailures(const engine::TStatementFailures& failures, TFailureMarks& marks,
                  TStatusLine& status) {
    marks.Show(failures.Lines());
    status.SetProblems(QString::fromStdString(engine::FailureCountText(failures.Count())));
}

std::optional<int> RefusalLine(const engine::TBlockCheck& check, std::string_view logLine) {
    if (check.unterminatedLine >= 0 && logLine.starts_with(kUnterminated)) {
        return check.unterminatedLine;
    }
    return std::nullopt;
}

}  // namespace korvane::workbench
