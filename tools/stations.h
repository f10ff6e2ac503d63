#pragma once

#include <string>
#include <vector>

#include "serial/port_map.h"
#include "tools/runner_options.h"

namespace korvane::tools {

// A test station: a name and its own port map, in the form of the [ports] section.
struct TStation {
    std::string name;
    serial::TPortEntries ports;
};

// The stations of a stations file's text, one per section; what is wrong with it otherwise.
std::vector<TStation> ParseStations(const std::string& iniText, std::string& problem);

// Runs the scripts once per station, each station in its own korvane-run process with its
// port map, `options.jobs` at a time; gathers their reports and gives the most serious exit
// code. SIGINT and SIGTERM are passed on to the stations' processes.
int RunStations(const TRunnerOptions& options);

}  // namespace korvane::tools
