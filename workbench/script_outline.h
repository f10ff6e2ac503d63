#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvane::workbench {

// The structure of script text as the editor needs it: where statements stand, which lines
// open and close blocks, and the names a script defines. Plain text rules, no widgets.

// The first line at or after `line` (from 0) that holds a statement, not a blank line or a
// "#" comment; -1 when there is none.
int NextStatementLine(const std::vector<std::string>& lines, int line);

// How a line shapes the indentation: a block opener, a closer, or "else"/"elseif", which
// closes one branch and opens the next.
enum class TIndentRole { None, Opens, Closes, Branch };
TIndentRole IndentRoleOf(std::string_view line);

// The nesting depth at the start of each line, for folding: a line that opens a block has a
// deeper line after it. Unpaired closers never take the depth below zero.
std::vector<int> BlockDepths(const std::vector<std::string>& lines);

// Comments or uncomments lines as one: when every non-blank line is a "#" comment the marks
// come off (with one blank after them), otherwise each non-blank line gets "# " at its
// indentation. Blank lines stay as they are.
std::vector<std::string> ToggleComments(const std::vector<std::string>& lines);

// Names the script defines, in the order they first appear: assigned variables, for-loop
// variables and procedures. Keywords are left out.
std::vector<std::string> ScriptNames(std::string_view text);

}  // namespace korvane::workbench
