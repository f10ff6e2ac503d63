#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/engine_host.h"

namespace korvane::tools {

// korvane-run's command line.
struct TRunnerOptions {
    std::optional<engine::TLocalTime> fixedTime;
    std::string varsFile;
    bool warn = false;  // failed statements on standard error as FILE:LINE: message
    std::string junitFile;
    std::string jsonFile;
    std::optional<double> timeoutSeconds;
    std::string stationsFile;
    int jobs = 0;  // 0: one process per station at once
    // Given by the station runner to each station's process: its name for log lines and
    // reports, and where it leaves its part of the reports.
    std::string station;
    std::string reportParts;
    std::vector<std::string> scripts;
    // The arguments a station's process is given besides its own: the clock, the time-out,
    // --warn and the scripts.
    std::vector<std::string> stationArguments;
};

// The options, or nothing when the command line is wrong.
std::optional<TRunnerOptions> ParseRunnerOptions(const std::vector<std::string>& arguments);

// "2026-12-08T14:03:27" as a valid calendar date and time of day.
std::optional<engine::TLocalTime> ParseFixedTime(const std::string& text);

}  // namespace korvane::tools
