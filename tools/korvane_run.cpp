// korvane-run: runs a script headless with the same engine and modules as the workbench.
// Exit codes: 0 normal end, 1 fatal error, 2 refused by the block check or wrong usage,
// 3 unreadable file, 4 a replayed port saw the script depart from its recording.
#include <QApplication>
#include <QScreen>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/builtins.h"
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
#include "tools/command_line.h"
#include "tools/console_host.h"
#include "tools/toolkit_messages.h"
#include "workbench/settings_path.h"

namespace {

constexpr korvane::tools::TProgramText kProgram = {
    "korvane-run",
    "usage: korvane-run [--fixed-time=YYYY-MM-DDTHH:MM:SS] [--vars=OUT] [--warn] FILE\n",
    "Runs a Korvane script headless and writes its log lines to standard output.\n"
    "  --fixed-time=T  freeze the clock of the log, time(), date(), year(), month(), day()\n"
    "  --vars=OUT      write the variables at the end of the run to OUT as name=value lines\n"
    "  --warn          at the end, print each line whose last statement failed to standard\n"
    "                  error as FILE:LINE: message\n"
    "Relative paths in the script (racks, images, files, exec) are taken from the current\n"
    "working directory, as for any command-line program.\n"
    "  --help          show this help;  --version  show the version\n"
    "Exit status: 0 normal end, 1 fatal error, 2 the block check refused the script or wrong\n"
    "usage, 3 the file cannot be read.\n"};

struct TOptions {
    std::optional<korvane::engine::TLocalTime> fixedTime;
    std::string varsFile;
    std::string script;
    bool warn = false;
};

std::optional<korvane::engine::TLocalTime> ParseFixedTime(const char* text) {
    korvane::engine::TLocalTime t;
    char tail = 0;
    if (std::sscanf(text, "%4d-%2d-%2dT%2d:%2d:%2d%c", &t.year, &t.month, &t.day, &t.hour,
                    &t.minute, &t.second, &tail) != 6) {
        return std::nullopt;
    }
    return t;
}

bool ParseOptions(int argc, char** argv, TOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.substr(0, 13) == "--fixed-time=") {
            options.fixedTime = ParseFixedTime(argv[i] + 13);
            if (!options.fixedTime) return false;
        } else if (arg.substr(0, 7) == "--vars=") {
            options.varsFile = std::string(arg.substr(7));
        } else if (arg == "--warn") {
            options.warn = true;
        } else if (options.script.empty() && !arg.empty() && arg[0] != '-') {
            options.script = std::string(arg);
        } else {
            return false;
        }
    }
    return !options.script.empty();
}

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

    void Bind(korvane::engine::TDispatch& dispatch, korvane::tools::TConsoleHost& host) {
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

    // Closes the ports (a replay checks then that the script sent all it had recorded);
    // true if a replay parted from the script. The listener has said where.
    bool ReplaysParted() {
        serial.CloseAll();
        return !serial.PortNotices().Mismatches().empty();
    }
};

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    if (auto answered = korvane::tools::AnswerStandardOption(arguments, kProgram, std::cout)) {
        return *answered;
    }
    TOptions options;
    if (!ParseOptions(argc, argv, options)) return korvane::tools::UsageError(kProgram, std::cerr);
    std::ifstream in(options.script, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "korvane-run: cannot read %s\n", options.script.c_str());
        return 3;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());

    ChooseOffscreenWithoutDisplay();
    korvane::tools::HoldToolkitStartupNotes();
    QApplication app(argc, argv);
    korvane::tools::ToolkitStarted();

    korvane::engine::TProgramState state;
    korvane::tools::TConsoleHost host(options.fixedTime);
    host.SetVarsFile(options.varsFile);
    korvane::engine::TDispatch dispatch;
    korvane::engine::BindEngine(dispatch);
    TRunnerModules modules;
    modules.Bind(dispatch, host);

    korvane::engine::TRunControl control(host, host, state, dispatch);
    host.SetStopAction([&control] { control.Stop(); });
    korvane::tools::TConsoleHost::InstallSignalHandlers();

    modules.tcp.SetRunActive(true);
    host.SetRunActive(true);
    const korvane::engine::TRunOutcome outcome = control.Run(korvane::engine::SplitLines(text));
    host.SetRunActive(false);
    modules.tcp.SetRunActive(false);
    if (options.warn) {
        std::fputs(korvane::engine::FailureReport(control.Failures(), options.script).c_str(), stderr);
    }
    if (outcome != korvane::engine::TRunOutcome::Refused && modules.ReplaysParted()) return 4;
    switch (outcome) {
        case korvane::engine::TRunOutcome::FatalError:
            return 1;
        case korvane::engine::TRunOutcome::Refused:
            return 2;
        default:
            return host.VarsWriteFailed() ? 1 : 0;
    }
}
