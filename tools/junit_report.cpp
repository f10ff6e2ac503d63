#include <filesystem>
#include <map>

#include "tools/reports.h"

namespace korvane::tools {

namespace {

// Script bytes are Latin-1 text; XML 1.0 cannot carry most control characters, so those
// become U+FFFD.
std::string Xml(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default:
                if (byte >= 0x80) {
                    out += "&#" + std::to_string(byte) + ";";
                } else if (byte < 0x20 && c != '\n' && c != '\t') {
                    out += "&#xFFFD;";
                } else {
                    out += c;
                }
        }
    }
    return out;
}

std::string Attribute(std::string_view name, std::string_view value) {
    return " " + std::string(name) + "=\"" + Xml(value) + "\"";
}

std::string Limit(const std::string& limit, const char* none) { return limit.empty() ? none : limit; }

std::string FailureText(const engine::TCheckRecord& check) {
    return "value " + check.value + (check.unit.empty() ? "" : " " + check.unit) + ", low limit " +
           Limit(check.low, "none") + ", high limit " + Limit(check.high, "none");
}

const char* ErrorType(TRunResult result) {
    switch (result) {
        case TRunResult::Fatal: return "fatal error";
        case TRunResult::Refused: return "refused";
        case TRunResult::Unreadable: return "unreadable";
        case TRunResult::ReplayDeparture: return "replay departure";
        case TRunResult::TimedOut: return "time-out";
        default: return nullptr;
    }
}

std::string Suite(const TScriptRun& run) {
    const std::string stem = std::filesystem::path(run.script).stem().string();
    const std::string classname = run.station.empty() ? stem : run.station + "." + stem;
    const char* errorType = ErrorType(run.result);
    // The run itself is a case when it erred or made no check.
    const bool runCase = errorType || run.checks.empty();
    const int tests = static_cast<int>(run.checks.size()) + (runCase ? 1 : 0);

    std::string xml = "  <testsuite" +
                      Attribute("name", run.station.empty() ? run.script
                                                            : run.script + " (" + run.station + ")") +
                      Attribute("tests", std::to_string(tests)) +
                      Attribute("failures", std::to_string(run.FailedChecks())) +
                      Attribute("errors", errorType ? "1" : "0") + Attribute("skipped", "0") +
                      Attribute("time", FormatSeconds(run.seconds)) +
                      Attribute("timestamp", run.timestamp) + Attribute("hostname", run.hostname) +
                      ">\n";
    if (!run.station.empty()) {
        xml += "    <properties>\n      <property" + Attribute("name", "station") +
               Attribute("value", run.station) + "/>\n    </properties>\n";
    }
    std::map<std::string, int> seen;
    for (const TTimedCheck& timed : run.checks) {
        const engine::TCheckRecord& check = timed.check;
        const int index = ++seen[check.name];
        const std::string name = index == 1 ? check.name : check.name + " #" + std::to_string(index);
        xml += "    <testcase" + Attribute("classname", classname) + Attribute("name", name) +
               Attribute("file", run.script) + Attribute("line", std::to_string(check.line)) +
               Attribute("time", FormatSeconds(timed.seconds));
        if (check.passed) {
            xml += "/>\n";
            continue;
        }
        xml += ">\n      <failure" + Attribute("type", "check") +
               Attribute("message", check.name + ": out of limits") + ">" +
               Xml(check.name + ": " + FailureText(check)) + "</failure>\n    </testcase>\n";
    }
    if (runCase) {
        xml += "    <testcase" + Attribute("classname", classname) + Attribute("name", "script run") +
               Attribute("file", run.script) + Attribute("time", FormatSeconds(run.seconds));
        if (errorType) {
            xml += ">\n      <error" + Attribute("type", errorType) + Attribute("message", run.message) +
                   ">" + Xml(run.message) + "</error>\n    </testcase>\n";
        } else {
            xml += "/>\n";
        }
    }
    xml += "    <system-out>" + Xml(run.log) + "</system-out>\n  </testsuite>\n";
    return xml;
}

}  // namespace

std::string JUnitSuites(const std::vector<TScriptRun>& runs) {
    std::string xml;
    for (const TScriptRun& run : runs) xml += Suite(run);
    return xml;
}

std::string JUnitDocument(std::string_view suites) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<testsuites name=\"korvane-run\">\n" +
           std::string(suites) + "</testsuites>\n";
}

}  // namespace korvane::tools
