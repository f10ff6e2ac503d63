#include "tools/runner_options.h"

#include <charconv>
#include <cmath>
#include <string_view>

namespace korvane::tools {

namespace {

bool ReadInt(std::string_view text, int& value) {
    const auto end = std::from_chars(text.data(), text.data() + text.size(), value);
    return end.ec == std::errc() && end.ptr == text.data() + text.size();
}

int DaysInMonth(int year, int month) {
    constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

std::optional<double> ParseSeconds(std::string_view text) {
    double value = 0;
    const auto end = std::from_chars(text.data(), text.data() + text.size(), value);
    if (end.ec != std::errc() || end.ptr != text.data() + text.size()) return std::nullopt;
    if (!std::isfinite(value) || value <= 0 || value > 1e7) return std::nullopt;
    return value;
}

// "--name=value": the value when `argument` is that option.
std::optional<std::string> Value(std::string_view argument, std::string_view name) {
    if (argument.size() <= name.size() + 3 || argument.substr(0, 2) != "--" ||
        argument.substr(2, name.size()) != name || argument[name.size() + 2] != '=') {
        return std::nullopt;
    }
    return std::string(argument.substr(name.size() + 3));
}

}  // namespace

std::optional<engine::TLocalTime> ParseFixedTime(const std::string& text) {
    // Exactly YYYY-MM-DDTHH:MM:SS.
    if (text.size() != 19 || text[4] != '-' || text[7] != '-' || text[10] != 'T' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    for (const size_t i : {0, 1, 2, 3, 5, 6, 8, 9, 11, 12, 14, 15, 17, 18}) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    }
    const std::string_view t = text;
    engine::TLocalTime time;
    ReadInt(t.substr(0, 4), time.year);
    ReadInt(t.substr(5, 2), time.month);
    ReadInt(t.substr(8, 2), time.day);
    ReadInt(t.substr(11, 2), time.hour);
    ReadInt(t.substr(14, 2), time.minute);
    ReadInt(t.substr(17, 2), time.second);
    if (time.month < 1 || time.month > 12 || time.day < 1 ||
        time.day > DaysInMonth(time.year, time.month) || time.hour > 23 || time.minute > 59 ||
        time.second > 59) {
        return std::nullopt;
    }
    return time;
}

std::optional<TRunnerOptions> ParseRunnerOptions(const std::vector<std::string>& arguments) {
    TRunnerOptions options;
    bool filesOnly = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& arg = arguments[i];
        if (filesOnly || arg.empty() || arg[0] != '-') {
            options.scripts.push_back(arg);
        } else if (arg == "--") {
            filesOnly = true;
        } else if (auto time = Value(arg, "fixed-time")) {
            options.fixedTime = ParseFixedTime(*time);
            if (!options.fixedTime) return std::nullopt;
            options.stationArguments.push_back(arg);
        } else if (arg == "--warn") {
            options.warn = true;
            options.stationArguments.push_back(arg);
        } else if (auto vars = Value(arg, "vars")) {
            options.varsFile = *vars;
        } else if (auto junit = Value(arg, "junit")) {
            options.junitFile = *junit;
        } else if (auto json = Value(arg, "json")) {
            options.jsonFile = *json;
        } else if (auto timeout = Value(arg, "timeout")) {
            options.timeoutSeconds = ParseSeconds(*timeout);
            if (!options.timeoutSeconds) return std::nullopt;
            options.stationArguments.push_back(arg);
        } else if (auto stations = Value(arg, "stations")) {
            options.stationsFile = *stations;
        } else if (auto station = Value(arg, "station")) {
            options.station = *station;
        } else if (auto parts = Value(arg, "report-parts")) {
            options.reportParts = *parts;
        } else if (arg.substr(0, 2) == "-j" || arg.substr(0, 7) == "--jobs=") {
            std::string count = arg.substr(0, 2) == "-j" ? arg.substr(2) : arg.substr(7);
            if (count.empty() && arg == "-j" && i + 1 < arguments.size()) count = arguments[++i];
            if (!ReadInt(count, options.jobs) || options.jobs < 1) return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    // Several stations' processes would all write the one variables file.
    if (options.scripts.empty() || (!options.stationsFile.empty() && !options.varsFile.empty())) {
        return std::nullopt;
    }
    options.stationArguments.push_back("--");
    options.stationArguments.insert(options.stationArguments.end(), options.scripts.begin(),
                                    options.scripts.end());
    return options;
}

}  // namespace korvane::tools
