#include "tools/script_run.h"

#include <algorithm>
#include <array>

namespace korvane::tools {

int ExitCode(TRunResult result) {
    switch (result) {
        case TRunResult::Passed: return 0;
        case TRunResult::Fatal: return 1;
        case TRunResult::Refused: return 2;
        case TRunResult::Unreadable: return 3;
        case TRunResult::ReplayDeparture: return 4;
        case TRunResult::CheckFailed: return 5;
        case TRunResult::TimedOut: return 6;
    }
    return 1;
}

int MoreSerious(int a, int b) {
    // Codes outside the known ones (a station's process killed by a signal) count as fatal.
    constexpr std::array<int, 7> kLeastFirst = {0, 5, 4, 6, 1, 3, 2};
    const auto rank = [&](int code) {
        const auto found = std::find(kLeastFirst.begin(), kLeastFirst.end(), code);
        return found == kLeastFirst.end() ? 4 : found - kLeastFirst.begin();
    };
    return rank(a) >= rank(b) ? a : b;
}

int TScriptRun::FailedChecks() const {
    return static_cast<int>(std::count_if(checks.begin(), checks.end(),
                                          [](const TTimedCheck& c) { return !c.check.passed; }));
}

namespace {

std::string Plural(int count, const char* word) {
    return std::to_string(count) + " " + word + (count == 1 ? "" : "s");
}

const char* ResultWord(TRunResult result) {
    switch (result) {
        case TRunResult::Passed: return "PASS";
        case TRunResult::CheckFailed: return "FAIL";
        case TRunResult::ReplayDeparture: return "REPLAY DEPARTURE";
        case TRunResult::TimedOut: return "TIME-OUT";
        case TRunResult::Fatal: return "FATAL";
        case TRunResult::Unreadable: return "UNREADABLE";
        case TRunResult::Refused: return "REFUSED";
    }
    return "";
}

}  // namespace

std::string SummaryLine(const TScriptRun& run) {
    std::string line = std::string(ResultWord(run.result)) + " " + run.script + ": " +
                       Plural(static_cast<int>(run.checks.size()), "check") + ", " +
                       std::to_string(run.FailedChecks()) + " failed";
    if (!run.message.empty()) line += " (" + run.message + ")";
    return line;
}

std::string TotalLine(int scripts, int checks, int failed) {
    return Plural(scripts, "script") + ", " + Plural(checks, "check") + ", " +
           std::to_string(failed) + " failed";
}

}  // namespace korvane::tools
