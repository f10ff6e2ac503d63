#pragma once

#include <string>
#include <vector>

#include "engine/engine_host.h"

namespace korvane::tools {

// How one script run ended, from the least to the most serious as the exit code ranks them.
enum class TRunResult { Passed, CheckFailed, ReplayDeparture, TimedOut, Fatal, Unreadable, Refused };

// The exit code of a result: 0 all passed, 1 fatal error, 2 refused, 3 unreadable file,
// 4 replay departure, 5 a check failed, 6 time-out.
int ExitCode(TRunResult result);
// Of two exit codes the more serious one: 2, 3, 1, 6, 4, 5, then 0.
int MoreSerious(int a, int b);

struct TTimedCheck {
    engine::TCheckRecord check;
    double seconds = 0;  // since the previous check, or the start of the run
};

// One script run on one station, as the reports show it.
struct TScriptRun {
    std::string script;    // the path as given
    std::string station;   // empty without stations
    std::string timestamp; // local start time, "2026-12-08T14:03:27"
    std::string hostname;
    double seconds = 0;
    TRunResult result = TRunResult::Passed;
    std::string message;   // what went wrong, for an error
    std::vector<TTimedCheck> checks;
    std::string log;       // the run's log lines, each ending in '\n'

    int FailedChecks() const;
};

// "PASS psu.kvs: 12 checks, 0 failed" and the like.
std::string SummaryLine(const TScriptRun& run);
// "3 scripts, 41 checks, 1 failed"
std::string TotalLine(int scripts, int checks, int failed);

}  // namespace korvane::tools
