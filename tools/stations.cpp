#include "tools/stations.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>

#include "serial/port_entries.h"
#include "tools/bounded_file.h"
#include "tools/console_host.h"
#include "tools/reports.h"

namespace korvane::tools {

namespace {

// Where a station's process leaves its part of the reports, and what it counts.
struct TStationProcess {
    const TStation* station = nullptr;
    std::string parts;  // path prefix of its report parts
    pid_t pid = -1;
    int exitCode = 0;
};

std::string PortList(const serial::TPortEntries& ports) {
    std::string list;
    for (const auto& [key, device] : ports) list += (list.empty() ? "" : ";") + key + "=" + device;
    return list;
}

// Starts the station's process: this program again, with the station's ports and nothing to
// read from standard input (inputbox gives its default).
pid_t Start(const TRunnerOptions& options, const TStationProcess& process) {
    std::vector<std::string> arguments = {"korvane-run", "--station=" + process.station->name,
                                          "--report-parts=" + process.parts};
    arguments.insert(arguments.end(), options.stationArguments.begin(),
                     options.stationArguments.end());
    std::vector<char*> argv;
    for (std::string& argument : arguments) argv.push_back(argument.data());
    argv.push_back(nullptr);
    const std::string ports = PortList(process.station->ports);

    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid != 0) return pid;
    ::setenv("KORVANE_PORTS", ports.c_str(), 1);
    const int nothing = ::open("/dev/null", O_RDONLY);
    if (nothing >= 0) ::dup2(nothing, STDIN_FILENO);
    ::execv("/proc/self/exe", argv.data());
    std::fprintf(stderr, "korvane-run: cannot start the station %s\n", process.station->name.c_str());
    ::_exit(1);
}

std::atomic<bool> g_never{false};

std::string ReadPart(const std::string& path) {
    // Parts are written by the stations' processes before they end; a missing one is empty.
    return ReadBoundedFile(path, g_never, std::size_t{1} << 30).text;
}

}  // namespace

std::vector<TStation> ParseStations(const std::string& iniText, std::string& problem) {
    std::vector<TStation> stations;
    std::map<std::string, int> names;
    for (serial::TIniSection& section : serial::ParseSections(iniText)) {
        if (section.name.empty() || ++names[section.name] > 1) {
            problem = "station \"" + section.name + "\" named twice or without a name";
            return {};
        }
        for (const auto& [key, device] : section.entries) {
            if (key.find(';') != std::string::npos || device.find(';') != std::string::npos) {
                problem = "station " + section.name + ": \";\" cannot appear in " + key;
                return {};
            }
        }
        stations.push_back({section.name, std::move(section.entries)});
    }
    if (stations.empty()) problem = "no stations in it";
    return stations;
}

int RunStations(const TRunnerOptions& options) {
    const TFileText file = ReadBoundedFile(options.stationsFile, TConsoleHost::Interrupted(),
                                           std::size_t{1} << 20);
    if (!file.problem.empty()) {
        std::fprintf(stderr, "korvane-run: cannot read %s: %s\n", options.stationsFile.c_str(),
                     file.problem.c_str());
        return 3;
    }
    std::string problem;
    const std::vector<TStation> stations = ParseStations(file.text, problem);
    if (!problem.empty()) {
        std::fprintf(stderr, "korvane-run: %s: %s\n", options.stationsFile.c_str(), problem.c_str());
        return 2;
    }
    const std::string tmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    std::string pattern = (tmp.empty() ? std::string("/tmp") : tmp) + "/korvane-run-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
        std::fprintf(stderr, "korvane-run: cannot make a folder for the stations' reports\n");
        return 1;
    }
    const std::string folder = pattern;

    std::vector<TStationProcess> processes(stations.size());
    for (size_t i = 0; i < stations.size(); ++i) {
        processes[i].station = &stations[i];
        processes[i].parts = folder + "/" + std::to_string(i);
    }
    const size_t jobs = options.jobs > 0 ? static_cast<size_t>(options.jobs) : stations.size();
    TConsoleHost::InstallSignalHandlers();
    size_t next = 0;
    size_t running = 0;
    bool passedOn = false;
    while (running > 0 || (next < processes.size() && !TConsoleHost::Interrupted().load())) {
        while (running < jobs && next < processes.size() && !TConsoleHost::Interrupted().load()) {
            processes[next].pid = Start(options, processes[next]);
            if (processes[next].pid < 0) processes[next].exitCode = 1;
            else ++running;
            ++next;
        }
        if (TConsoleHost::Interrupted().load() && !passedOn) {
            for (const TStationProcess& p : processes) {
                if (p.pid > 0) ::kill(p.pid, SIGTERM);
            }
            passedOn = true;
        }
        int status = 0;
        const pid_t ended = ::waitpid(-1, &status, WNOHANG);
        if (ended <= 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        for (TStationProcess& p : processes) {
            if (p.pid != ended) continue;
            p.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 1;
            p.pid = 0;
            --running;
        }
    }

    int exitCode = 0;
    std::string suites;
    std::string records;
    int scripts = 0, checks = 0, failed = 0;
    for (const TStationProcess& p : processes) {
        exitCode = MoreSerious(exitCode, p.exitCode);
        std::string junit = ReadPart(p.parts + ".junit");
        std::string json = ReadPart(p.parts + ".json");
        std::istringstream counts(ReadPart(p.parts + ".counts"));
        int s = 0, c = 0, f = 0;
        if (!(counts >> s >> c >> f)) {
            // The process ended without its reports: the station is one failed run.
            TScriptRun lost;
            lost.script = options.stationsFile;
            lost.station = p.station->name;
            lost.result = TRunResult::Fatal;
            lost.message = "the station's process ended with exit code " + std::to_string(p.exitCode) +
                           " before writing its reports";
            junit = JUnitSuites({lost});
            json = JsonRecords({lost});
            exitCode = MoreSerious(exitCode, 1);
            s = 1;
        }
        scripts += s;
        checks += c;
        failed += f;
        suites += junit;
        if (!json.empty()) records += (records.empty() ? "" : ",\n") + json;
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);

    PrintLine(std::to_string(stations.size()) + " stations: " + TotalLine(scripts, checks, failed));
    const auto write = [&exitCode](const std::string& path, const std::string& bytes) {
        if (path.empty()) return;
        const std::string failure = WriteWholeFile(path, bytes);
        if (failure.empty()) return;
        std::fprintf(stderr, "korvane-run: cannot write %s: %s\n", path.c_str(), failure.c_str());
        exitCode = MoreSerious(exitCode, 1);
    };
    write(options.junitFile, JUnitDocument(suites));
    write(options.jsonFile, JsonDocument(records));
    return exitCode;
}

}  // namespace korvane::tools
