#pragma once

#include <optional>
#include <string_view>

namespace korvane::workbench {

// What a log line says about the script's lines, so a double-click can go there and error
// lines can stand out. Only the texts the run writes are read; anything else gives nothing.

// The editor line (from 1) a log line names: "<time>, from line N: ..." of writelog, or the
// block check's "Error: unexpected WORD on line N".
std::optional<int> LogLineNumber(std::string_view line);

// "<time> Fatal error: ..." of a run that ended in an error.
bool IsFatalErrorLine(std::string_view line);

// Fatal errors, the block check's report and Build's failure line.
bool IsErrorLogLine(std::string_view line);

// A check's "<time>: check NAME: ...: pass" or "...: FAIL", told by the line's start and its
// end (a long line need not be read whole).
enum class TCheckOutcome { None, Pass, Fail };
TCheckOutcome CheckLineOutcome(std::string_view start, std::string_view end);

}  // namespace korvane::workbench
