// korvane-run: runs scripts headless with the same engine and modules as the workbench, as a
// plain runner and as a test runner with reports, time-outs and stations.
#include <QApplication>
#include <QScreen>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/builtins.h"
#include "engine/statement_failures.h"
#include "engine/statement_failures.h"
#include "engine/text_utils.h"
#include "host/desktop_launcher.h"
#include "host/dm.h"
#include "host/exec_command.h"
#include "host/file_commands.h"
#include "host/log_commands.h"
#include "host/program_files.h"
#include "host/window_commands.h"
#include "net/tcp_endpoints.h"
#include "racks/ui/frm_rack.h"
#include "racks/ui/rack_commands.h"
#include "serial/port_entries.h"
#include "serial/serial_module.h"
#include "tools/broken_pipe.h"
#include "tools/bounded_file.h"
#include "tools/command_line.h"
#include "tools/console_host.h"
#include "tools/reports.h"
#include "tools/runner_options.h"
#include "tools/stations.h"
#include "tools/toolkit_messages.h"
#include "workbench/settings_path.h"

namespace {

namespace tools = korvane::tools;

constexpr tools::TProgramText kProgram = {
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

// Windows are shown only where a display exists.
void ChooseOffscreenWithoutDisplay() {
    if (std::getenv("QT_QPA_PLATFORM") || std::getenv("DISPLAY") ||
        std::getenv("WAYLAND_DISPLAY")) {
        return;
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
}

// Serial ports are mapped as for the workbench: the [ports] section of its korvane.ini
// (beside the program, or in the user's folder), then KORVANE_PORTS. terminal.res comes with
// the program. Terminal windows open at
// the screen's top right, and setport shows its dialog only where a display exists.
korvane::serial::TSerialOptions SerialOptions() {
    const std::filesystem::path folder = QCoreApplication::applicationDirPath().toStdString();
    korvane::serial::TSerialOptions options;
    options.portEntries =
        korvane::serial::LoadPortEntries(korvane::workbench::SystemSettingsFileToRead());
    options.layoutFile = korvane::host::ProgramFile(folder, "terminal.res");
    options.mainFrame = [] {
        const QScreen* screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : QRect();
    };
    options.portDialog = QGuiApplication::platformName() != "offscreen";
    return options;
}

// What outlives a run besides the engine's state, as the workbench's application object
// holds it: the file slot, the TCP endpoints, the desktop launcher and the serial ports.
struct TRunnerModules {
    korvane::host::TDM dm;
    korvane::net::TTcpEndpoints tcp;
    korvane::host::TDesktopLauncher launcher;
    korvane::serial::TSerialModule serial{SerialOptions()};
    std::unique_ptr<korvane::racks::TFrmRack> rack;

    void Bind(korvane::engine::TDispatch& dispatch, tools::TConsoleHost& host) {
        korvane::host::BindLogCommands(dispatch);
        korvane::host::BindFileCommands(dispatch, dm);
        korvane::host::BindExecCommand(dispatch, launcher);
        korvane::host::BindWindowCommands(dispatch, host);
        tcp.Bind(dispatch);
        host.SetTcpEndpoints(&tcp);
        serial.Bind(dispatch);
        rack = std::make_unique<korvane::racks::TFrmRack>(host);
        korvane::racks::BindRackCommands(dispatch, *rack);
        host.SetRackBinding(&rack->Binding());
        for (const auto& issue : serial.PortMapIssues()) {
            std::fprintf(stderr, "korvane-run: port map: %s\n", issue.Text().c_str());
        }
        serial.PortNotices().SetListener([](const std::string& text) {
            std::fprintf(stderr, "korvane-run: %s\n", text.c_str());
        });
    }

    // Closes the ports: a replay checks then that the script sent all it had recorded, and
    // a recording takes its file's place. The exit code that calls for, or 0; the listener
    // has said why.
    int ClosePorts() {
        serial.CloseAll();
        if (!serial.PortNotices().Mismatches().empty()) return 4;
        return serial.PortNotices().RecordingFailures().empty() ? 0 : 1;
    }
};

std::string HostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0) return "localhost";
    return name;
}

std::string IsoTime(const korvane::engine::TLocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", t.year, t.month, t.day,
                  t.hour, t.minute, t.second);
    return text;
}

// Qt starts with the first script that can be read, so a file that cannot be read is
// reported even where no display could be opened.
class TToolkit {
public:
    TToolkit(int& argc, char** argv) : m_argc(argc), m_argv(argv) {}
    // The application object is left to the end of the process: tearing it down loads the
    // whole font configuration when no font was used (a third of a one-line script's start-up
    // time), and everything a run writes is closed and flushed before this point.
    ~TToolkit() { s_leftToExit = m_app.release(); }
    TToolkit(const TToolkit&) = delete;
    TToolkit& operator=(const TToolkit&) = delete;
    void Start() {
        if (m_app) return;
        ChooseOffscreenWithoutDisplay();
        tools::HoldToolkitStartupNotes();
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
        tools::ToolkitStarted();
    }

private:
    int& m_argc;
    char** m_argv;
    std::unique_ptr<QApplication> m_app;
    static inline QApplication* s_leftToExit = nullptr;
};

// One script in a fresh engine with fresh modules: variables, ports, files and connections
// of the script before it are gone.
tools::TScriptRun RunScript(const tools::TRunnerOptions& options, const std::string& path,
                            TToolkit& toolkit) {
    tools::TScriptRun record;
    record.script = path;
    record.station = options.station;
    record.hostname = HostName();
    tools::TFileText file = tools::ReadBoundedFile(path, tools::TConsoleHost::Interrupted());
    tools::TConsoleHost host(options.fixedTime, options.station);
    record.timestamp = IsoTime(host.Now());
    if (!file.problem.empty()) {
        std::fprintf(stderr, "korvane-run: cannot read %s: %s\n", path.c_str(), file.problem.c_str());
        record.result = tools::TRunResult::Unreadable;
        record.message = "cannot read " + path + ": " + file.problem;
        return record;
    }
    toolkit.Start();
    korvane::engine::TProgramState state;
    host.SetVarsFile(options.varsFile);
    korvane::engine::TDispatch dispatch;
    korvane::engine::BindEngine(dispatch);
    TRunnerModules modules;
    modules.Bind(dispatch, host);
    korvane::engine::TRunControl control(host, host, state, dispatch);
    host.SetStopAction([&control] { control.Stop(); });
    if (options.timeoutSeconds) host.SetTimeout(std::chrono::duration<double>(*options.timeoutSeconds));

    modules.tcp.SetRunActive(true);
    host.SetRunActive(true);
    const auto started = std::chrono::steady_clock::now();
    host.StartClock();
    std::vector<std::string> lines = korvane::engine::SplitLines(file.text);
    std::string().swap(file.text);  // the lines hold the script now, and the run takes them over
    const korvane::engine::TRunOutcome outcome = control.Run(std::move(lines));
    host.SetRunActive(false);
    modules.tcp.SetRunActive(false);
    if (options.warn) {
        std::fputs(korvane::engine::FailureReport(control.Failures(), path).c_str(), stderr);
    }
    // Closing puts recordings in place: a departure or a recording that failed shows only here.
    const int closeCode =
        outcome == korvane::engine::TRunOutcome::Refused ? 0 : modules.ClosePorts();
    const bool parted = closeCode == 4;

    record.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    record.checks = host.Checks();
    record.log = host.Log();
    using R = tools::TRunResult;
    if (outcome == korvane::engine::TRunOutcome::Refused) {
        record.result = R::Refused;
        record.message = host.Failure();
    } else if (outcome == korvane::engine::TRunOutcome::FatalError) {
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
        record.message = "stopped at the time-out of " + tools::FormatSeconds(*options.timeoutSeconds) + " s";
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
bool WriteReports(const tools::TRunnerOptions& options, const std::vector<tools::TScriptRun>& runs,
                  int checks, int failed) {
    std::vector<std::pair<std::string, std::string>> files;
    if (!options.reportParts.empty()) {
        files = {{options.reportParts + ".junit", tools::JUnitSuites(runs)},
                 {options.reportParts + ".json", tools::JsonRecords(runs)},
                 {options.reportParts + ".counts", std::to_string(runs.size()) + " " +
                                                       std::to_string(checks) + " " +
                                                       std::to_string(failed) + "\n"}};
    }
    if (!options.junitFile.empty()) {
        files.emplace_back(options.junitFile, tools::JUnitDocument(tools::JUnitSuites(runs)));
    }
    if (!options.jsonFile.empty()) {
        files.emplace_back(options.jsonFile, tools::JsonDocument(tools::JsonRecords(runs)));
    }
    bool written = true;
    for (const auto& [path, bytes] : files) {
        const std::string problem = tools::WriteWholeFile(path, bytes);
        if (problem.empty()) continue;
        std::fprintf(stderr, "korvane-run: cannot write %s: %s\n", path.c_str(), problem.c_str());
        written = false;
    }
    return written;
}

}  // namespace

int main(int argc, char** argv) {
    tools::IgnoreBrokenPipes();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (auto answered = tools::AnswerStandardOption(arguments, kProgram, std::cout)) {
        return *answered;
    }
    const std::optional<tools::TRunnerOptions> options = tools::ParseRunnerOptions(arguments);
    if (!options) return tools::UsageError(kProgram, std::cerr);
    if (!options->stationsFile.empty()) return tools::RunStations(*options);

    tools::TConsoleHost::InstallSignalHandlers();
    TToolkit toolkit(argc, argv);
    std::vector<tools::TScriptRun> runs;
    int exitCode = 0;
    int checks = 0;
    int failed = 0;
    bool summaries = options->scripts.size() > 1 || !options->junitFile.empty() ||
                     !options->jsonFile.empty() || !options->reportParts.empty();
    const std::string prefix = options->station.empty() ? "" : "[" + options->station + "] ";
    for (const std::string& script : options->scripts) {
        if (tools::TConsoleHost::Interrupted().load()) break;
        runs.push_back(RunScript(*options, script, toolkit));
        const tools::TScriptRun& run = runs.back();
        exitCode = tools::MoreSerious(exitCode, tools::ExitCode(run.result));
        checks += static_cast<int>(run.checks.size());
        failed += run.FailedChecks();
        summaries = summaries || !run.checks.empty();
        if (summaries) tools::PrintLine(prefix + tools::SummaryLine(run));
    }
    if (summaries) {
        tools::PrintLine(prefix + tools::TotalLine(static_cast<int>(runs.size()), checks, failed));
    }
    if (!WriteReports(*options, runs, checks, failed)) exitCode = tools::MoreSerious(exitCode, 1);
    return exitCode;
}
