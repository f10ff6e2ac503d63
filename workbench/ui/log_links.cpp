#include "workbench/ui/log_links.h"

#include <charconv>

namespace korvane::workbench {

namespace {

constexpr std::string_view kFromLine = ", from line ";
constexpr std::string_view kUnexpected = "Error: unexpected ";
constexpr std::string_view kOnLine = " on line ";
constexpr std::string_view kFatal = " Fatal error: ";
constexpr std::string_view kCheck = ": check ";

// A positive decimal number that fills `digits` exactly.
std::optional<int> LineNumber(std::string_view digits) {
    int number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size() || number < 1) {
        return std::nullopt;
    }
    return number;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// "HH:MM:SS", the time every timed log line starts with.
bool StartsWithTime(std::string_view line) {
    if (line.size() < 8 || line[2] != ':' || line[5] != ':') return false;
    for (std::size_t i : {0, 1, 3, 4, 6, 7}) {
        if (!IsDigit(line[i])) return false;
    }
    return true;
}

}  // namespace

std::optional<int> LogLineNumber(std::string_view line) {
    if (StartsWithTime(line) && line.substr(8, kFromLine.size()) == kFromLine) {
        const std::string_view rest = line.substr(8 + kFromLine.size());
        return LineNumber(rest.substr(0, rest.find(':')));
    }
    if (line.starts_with(kUnexpected)) {
        const std::size_t at = line.find(kOnLine);
        if (at == std::string_view::npos) return std::nullopt;
        return LineNumber(line.substr(at + kOnLine.size()));
    }
    return std::nullopt;
}

bool IsFatalErrorLine(std::string_view line) {
    return StartsWithTime(line) && line.substr(8, kFatal.size()) == kFatal;
}

TCheckOutcome CheckLineOutcome(std::string_view start, std::string_view end) {
    if (!StartsWithTime(start) || start.substr(8, kCheck.size()) != kCheck) return TCheckOutcome::None;
    if (end.ends_with(": pass")) return TCheckOutcome::Pass;
    if (end.ends_with(": FAIL")) return TCheckOutcome::Fail;
    return TCheckOutcome::None;
}

bool IsErrorLogLine(std::string_view line) {
    return IsFatalErrorLine(line) || line.starts_with("Error: ") ||
           line == "Error building:";
}

}  // namespace korvane::workbench
