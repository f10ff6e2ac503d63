// korvane-run's course: runs scripts headless with the same engine and modules as the
// workbench, as a plain runner and as a test runner with reports, time-outs and stations.
#include "tools/runner_main.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/builtins.h"
#include "engine/statement_failures.h"
#include "engine/text_utils.h"
#include "net/tcp_endpoints.h"
#include "tools/bounded_file.h"
#include "tools/broken_pipe.h"
#include "tools/command_line.h"
#include "tools/console_host.h"
#include "tools/reports.h"
#include "tools/stations.h"
#include "tools/toolkit_messages.h"

namespace korvane::tools {
namespace {

constexpr TProgramText kProgram = {
    "korvane-run",
    "usage: korvane-run [--fixed-time=YYYY-MM-DDTHH:MM:SS] [--vars=OUT] [--warn] [--junit=FILE]\n"
    "                   [--json=FILE] [--timeout=SECONDS] [--stations=FILE [-j N]] FILE...\n",
    "Runs Korvane scripts headless, one after another, each in a fresh engine, and writes\n"
    "their log lines to standard output. With several scripts, checks or reports it prints a\n"
    "summary line per script and a total.\n"
    "  --fixed-time=T    freeze the clock of the log, time(), date(), year(), month(), day()\n"
    "  --vars=OUT        write the variables at the end of each run to OUT as name=value lines\n"
    "  --warn            at the end of each run, print each line whose last statement failed\n"
    "                    to standard error as FILE:LINE: message\n"
    "  --junit=FILE      write a JUnit XML report (a test suite per script run, a test case\n"
    "                    per check) as GitLab and Jenkins read it\n"
    "  --json=FILE       write a JSON report: one record per script run with every check\n"
    "  --timeout=S       stop each script run after S seconds and report it as an error\n"
    "  --stations=FILE   run the scripts once per station of FILE (an INI file, a section of\n"
    "                    port-map entries per station), each station in its own process\n"
    "  -j N, --jobs=N    stations run at once (default: all)\n"
    "  --help            show this help;  --version  show the version\n"
    "Relative paths in the scripts (racks, images, files, exec) are taken from the current\n"
    "working directory, as for any command-line program.\n"
    "Exit status (with several scripts or stations the most serious, in the order 2, 3, 1, 6,\n"
    "4, 5, 0):\n"
    "  0 all passed          1 a fatal error        2 refused by the block check, or wrong usage\n"
    "  3 a file cannot be read (a folder, over 64 MiB)   4 a replayed port saw the script\n"
    "  depart from its recording   5 a check failed   6 a time-out\n"};

std::string HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "localhost";
    return name;
}

std::string IsoTime(const engine::TLocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

// Qt starts with the first script that can be read, so a file that cannot be read is
// reported even where no display could be opened.
class TToolkit {
public:
    TToolkit(int& argc, char** argv, const TRunnerSetup& setup)
        : m_argc(argc), m_argv(argv), m_setup(setup) {}
    // The application object is left to the end of the process: tearing it down loads the
    // whole font configuration when no font was used (a third of a one-line script's start-up
    // time), and everything a run writes is closed and flushed before this point.
    ~TToolkit() { s_leftToExit = m_app.release(); }
    TToolkit(const TToolkit&) = delete;
    TToolkit& operator=(const TToolkit&) = delete;
    void Start() {
        if (m_app) return;
        HoldToolkitStartupNotes();
        m_app = m_setup.application(m_argc, m_argv);
        ToolkitStarted();
    }

private:
    int& m_argc;
    char** m_argv;
    const TRunnerSetup& m_setup;
    std::unique_ptr<QCoreApplication> m_app;
    static inline QCoreApplication* s_leftToExit = nullptr;
};

// One script in a fresh engine with fresh modules: variables, ports, files and connections
// of the script before it are gone.
TScriptRun RunScript(const TRunnerOptions& options, const std::string& path,
                     std::optional<TFileText> readAhead, TToolkit& toolkit,
                     const TRunnerSetup& setup) {
    TScriptRun record;
    record.script = path;
    record.station = options.station;
    record.hostname = HostName();
    TFileText file = readAhead ? std::move(*readAhead)
                               : ReadBoundedFile(path, TConsoleHost::Interrupted());
    TConsoleHost host(options.fixedTime, options.station);
    record.timestamp = IsoTime(host.Now());
    if (!file.problem.empty()) {
        std::fprintf(stderr, "korvane-run: cannot read %s: %s\n", path.c_str(), file.problem.c_str());
        record.result = TRunResult::Unreadable;
        record.message = "cannot read " + path + ": " + file.problem;
        return record;
    }
    toolkit.Start();
    engine::TProgramState state;
    host.SetVarsFile(options.varsFile);
    engine::TDispatch dispatch;
    engine::BindEngine(dispatch);
    const std::unique_ptr<TRunnerModules> modules = setup.modules();
    modules->Bind(dispatch, host);
    engine::TRunControl control(host, host, state, dispatch);
    host.SetStopAction([&control] { control.Stop(); });
    if (options.timeoutSeconds) host.SetTimeout(std::chrono::duration<double>(*options.timeoutSeconds));

    modules->Tcp().SetRunActive(true);
    host.SetRunActive(true);
    const auto started = std::chrono::steady_clock::now();
    host.StartClock();
    std::vector<std::string> lines = engine::SplitLines(file.text);
    std::string().swap(file.text);  // the lines hold the script now, and the run takes them over
    const engine::TRunOutcome outcome = control.Run(std::move(lines));
    host.SetRunActive(false);
    modules->Tcp().SetRunActive(false);
    if (options.warn) {
        std::fputs(engine::FailureReport(control.Failures(), path).c_str(), stderr);
    }
    // Closing puts recordings in place: a departure or a recording that failed shows only here.
    const int closeCode =
        outcome == engine::TRunOutcome::Refused ? 0 : modules->ClosePorts();
    const bool parted = closeCode == 4;

    record.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    record.checks = host.Checks();
    record.log = host.Log();
    using R = TRunResult;
    if (outcome == engine::TRunOutcome::Refused) {
        record.result = R::Refused;
        record.message = host.Failure();
    } else if (outcome == engine::TRunOutcome::FatalError) {
        record.result = R::Fatal;
        record.message = "Fatal error: " + host.Failure();
    } else if (host.VarsWriteFailed()) {
        record.result = R::Fatal;
        record.message = "cannot write the variables to " + options.varsFile;
    } else if (closeCode == 1) {
        record.result = R::Fatal;
        record.message = "a recording could not be written";
    } else if (host.TimedOut()) {
        record.result = R::TimedOut;
        record.message = "stopped at the time-out of " + FormatSeconds(*options.timeoutSeconds) + " s";
    } else if (parted) {
        record.result = R::ReplayDeparture;
        record.message = "a replayed port saw the script depart from its recording";
    } else if (record.FailedChecks() > 0) {
        record.result = R::CheckFailed;
    }
    return record;
}

// Writes the reports the command line asks for; a station's process leaves its parts for the
// station runner instead. False when one cannot be written.
bool WriteReports(const TRunnerOptions& options, const std::vector<TScriptRun>& runs,
                  int checks, int failed) {
    std::vector<std::pair<std::string, std::string>> files;
    if (!options.reportParts.empty()) {
        files = {{options.reportParts + ".junit", JUnitSuites(runs)},
                 {options.reportParts + ".json", JsonRecords(runs)},
                 {options.reportParts + ".counts", std::to_string(runs.size()) + " " +
                                                       std::to_string(checks) + " " +
                                                       std::to_string(failed) + "\n"}};
    }
    if (!options.junitFile.empty()) {
        files.emplace_back(options.junitFile, JUnitDocument(JUnitSuites(runs)));
    }
    if (!options.jsonFile.empty()) {
        files.emplace_back(options.jsonFile, JsonDocument(JsonRecords(runs)));
    }
    bool written = true;
    for (const auto& [path, bytes] : files) {
        const std::string problem = WriteWholeFile(path, bytes);
        if (problem.empty()) continue;
        std::fprintf(stderr, "korvane-run: cannot write %s: %s\n", path.c_str(), problem.c_str());
        written = false;
    }
    return written;
}

}  // namespace

int RunnerMain(int argc, char** argv, const TRunnerSetup& setup) {
    IgnoreBrokenPipes();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (auto answered = AnswerStandardOption(arguments, kProgram, std::cout)) {
        return *answered;
    }
    const std::optional<TRunnerOptions> options = ParseRunnerOptions(arguments);
    if (!options) return UsageError(kProgram, std::cerr);
    if (!options->stationsFile.empty()) return RunStations(*options);
    std::vector<std::optional<TFileText>> readAhead(options->scripts.size());
    if (setup.beforeRuns) {
        if (const std::optional<int> ended = setup.beforeRuns(*options, argv, readAhead)) {
            return *ended;
        }
    }

    TConsoleHost::InstallSignalHandlers();
    TToolkit toolkit(argc, argv, setup);
    std::vector<TScriptRun> runs;
    int exitCode = 0;
    int checks = 0;
    int failed = 0;
    bool summaries = options->scripts.size() > 1 || !options->junitFile.empty() ||
                     !options->jsonFile.empty() || !options->reportParts.empty();
    const std::string prefix = options->station.empty() ? "" : "[" + options->station + "] ";
    for (size_t i = 0; i < options->scripts.size(); ++i) {
        if (TConsoleHost::Interrupted().load()) break;
        runs.push_back(
            RunScript(*options, options->scripts[i], std::move(readAhead[i]), toolkit, setup));
        const TScriptRun& run = runs.back();
        exitCode = MoreSerious(exitCode, ExitCode(run.result));
        checks += static_cast<int>(run.checks.size());
        failed += run.FailedChecks();
        summaries = summaries || !run.checks.empty();
        if (summaries) PrintLine(prefix + SummaryLine(run));
    }
    if (summaries) {
        PrintLine(prefix + TotalLine(static_cast<int>(runs.size()), checks, failed));
    }
    if (!WriteReports(*options, runs, checks, failed)) exitCode = MoreSerious(exitCode, 1);
    return exitCode;
}

}  // namespace korvane::tools
