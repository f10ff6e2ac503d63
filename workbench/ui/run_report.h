#pragma once

#include <optional>
#include <string_view>

#include "engine/check_blocks.h"
#include "engine/statement_failures.h"

namespace korvane::workbench {

class TFailureMarks;
class TScriptEditor;
class TStatusLine;

// A refused script: the lines the block check names are marked (the error mark on the first
// of them, a failure mark with the reason on each), and the status bar says why.
void ShowRefusal(const engine::TBlockCheck& check, TScriptEditor& editor, TFailureMarks& marks,
                 TStatusLine& status);

// The statements that failed in the last run: marks in the margin and a count in the
// status bar.
void ShowFailures(const engine::TStatementFailures& failures, TFailureMarks& marks,
                  TStatusLine& status);

// The editor line (from 0) a line of the block check's report leads to, including the
// opening line of an unterminated block, which the report's text does not name.
std::optional<int> RefusalLine(const engine::TBlockCheck& check, std::string_view logLine);

}  // namespace korvane::workbench
