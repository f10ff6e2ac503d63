#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "tools/script_run.h"

namespace korvane::tools {

// Test reports of script runs. Each comes in parts (the runs of one process) and a document
// that wraps parts, so the runs of several station processes can share one report.

// One <testsuite> per run, as GitLab and Jenkins read JUnit XML.
std::string JUnitSuites(const std::vector<TScriptRun>& runs);
std::string JUnitDocument(std::string_view suites);

// One JSON object per run with every check; parts are joined with ",\n".
std::string JsonRecords(const std::vector<TScriptRun>& runs);
std::string JsonDocument(std::string_view records);

// Seconds with three decimals, whatever the locale ("0.512").
std::string FormatSeconds(double seconds);

}  // namespace korvane::tools
