#pragma once

#include <ostream>
#include <span>
#include <string>

#include "workbench/startup.h"

namespace korvane::workbench {

class TWorkbenchApp;

// Exit codes of a standalone program, as korvane-run gives them.
inline constexpr int kExitNormal = 0;
inline constexpr int kExitFatal = 1;
inline constexpr int kExitRefused = 2;
inline constexpr int kExitCannotStart = 3;

// "korvane --build SCRIPT OUT": Build without a window.
bool IsBuildCommand(std::span<const std::string> arguments);

// An option the workbench does not know, left after Qt has taken its own.
bool HasUnknownOption(std::span<const std::string> arguments);

// Carries out the start-up plan: the workbench as usual (a command-line script runs at
// once), or the packaged script with no main window, ending with its run. Returns the
// program's exit code; runs the event loop when the workbench stays up.
int StartProgram(TWorkbenchApp& workbench, const TStartupPlan& plan, std::ostream& errors);

// Builds a packaged copy of this program from the script file and writes it to `target`.
// Build's log lines go to `log`, a failure text to `errors`; returns the exit code.
int BuildFromCommandLine(TWorkbenchApp& workbench, const std::string& script,
                         const std::string& target, std::ostream& log, std::ostream& errors);

}  // namespace korvane::workbench
