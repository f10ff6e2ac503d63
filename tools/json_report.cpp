#include <charconv>

#include "tools/reports.h"

namespace korvane::tools {

namespace {

// Script bytes are Latin-1 text: each byte from 0x80 up is that code point.
std::string Json(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7f) {
            constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

const char* ResultName(TRunResult result) {
    switch (result) {
        case TRunResult::Passed: return "passed";
        case TRunResult::CheckFailed: return "failed";
        case TRunResult::ReplayDeparture: return "replay departure";
        case TRunResult::TimedOut: return "time-out";
        case TRunResult::Fatal: return "fatal error";
        case TRunResult::Unreadable: return "unreadable";
        case TRunResult::Refused: return "refused";
    }
    return "";
}

std::string Record(const TScriptRun& run) {
    std::string json = "  {\"script\": " + Json(run.script) + ", \"station\": " + Json(run.station) +
                       ", \"timestamp\": " + Json(run.timestamp) + ", \"hostname\": " +
                       Json(run.hostname) + ", \"time\": " + FormatSeconds(run.seconds) +
                       ", \"result\": " + Json(ResultName(run.result)) +
                       ", \"exit_code\": " + std::to_string(ExitCode(run.result)) +
                       ", \"message\": " + Json(run.message) + ",\n   \"checks\": [";
    const char* separator = "\n";
    for (const TTimedCheck& timed : run.checks) {
        const engine::TCheckRecord& c = timed.check;
        json += separator;
        json += "    {\"name\": " + Json(c.name) + ", \"value\": " + Json(c.value) +
                ", \"low\": " + Json(c.low) + ", \"high\": " + Json(c.high) + ", \"unit\": " +
                Json(c.unit) + ", \"outcome\": " + (c.passed ? "\"pass\"" : "\"fail\"") +
                ", \"line\": " + std::to_string(c.line) + ", \"time\": " +
                FormatSeconds(timed.seconds) + "}";
        separator = ",\n";
    }
    return json + (run.checks.empty() ? "]}" : "\n   ]}");
}

}  // namespace

std::string FormatSeconds(double seconds) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, seconds < 0 ? 0.0 : seconds,
                                   std::chars_format::fixed, 3);
    return end.ec == std::errc() ? std::string(buffer, end.ptr) : std::string("0.000");
}

std::string JsonRecords(const std::vector<TScriptRun>& runs) {
    std::string json;
    for (const TScriptRun& run : runs) {
        if (!json.empty()) json += ",\n";
        json += Record(run);
    }
    return json;
}

std::string JsonDocument(std::string_view records) {
    return records.empty() ? "[]\n" : "[\n" + std::string(records) + "\n]\n";
}

}  // namespace korvane::tools
