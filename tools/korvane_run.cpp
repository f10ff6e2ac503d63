// korvane-run: runs scripts headless with the same engine and modules as the workbench, as a
// plain runner and as a test runner with reports, time-outs and stations. It starts without
// the widget libraries; scripts that use windows, serial ports or the desktop are handed over
// to korvane-run-toolkit beside it, which has them.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "engine/builtins.h"
#include "engine/dispatch.h"
#include "tools/bounded_file.h"
#include "tools/console_host.h"
#include "tools/plain_modules.h"
#include "tools/runner_main.h"
#include "tools/toolkit_handoff.h"

namespace {

namespace tools = korvane::tools;

// Whether the scripts may name something only the toolkit runner binds. Regular files are
// read here once and kept for the runs. A FIFO or device cannot be read twice, so a script
// that comes through one goes to the toolkit runner unread.
bool NeedsToolkit(const tools::TRunnerOptions& options,
                  std::vector<std::optional<tools::TFileText>>& readAhead) {
    korvane::engine::TDispatch dispatch;
    korvane::engine::BindEngine(dispatch);
    tools::TConsoleHost host(options.fixedTime, options.station);
    tools::TPlainModules modules;
    modules.BindCommands(dispatch, host);
    for (size_t i = 0; i < options.scripts.size(); ++i) {
        struct stat status {};
        if (::stat(options.scripts[i].c_str(), &status) == 0 &&
            (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode) || S_ISSOCK(status.st_mode))) {
            return true;
        }
        const tools::TFileText& file = readAhead[i].emplace(
            tools::ReadBoundedFile(options.scripts[i], tools::TConsoleHost::Interrupted()));
        if (file.problem.empty() && tools::UsesUnboundRows(file.text, dispatch)) return true;
    }
    return false;
}

// Runs the toolkit runner in this process's place with the same command line; it reads the
// scripts again.
std::optional<int> HandOverWhenNeeded(const tools::TRunnerOptions& options, char** argv,
                                      std::vector<std::optional<tools::TFileText>>& readAhead) {
    if (!NeedsToolkit(options, readAhead)) return std::nullopt;
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", error);
    const std::filesystem::path runner = self.parent_path() / "korvane-run-toolkit";
    ::execv(runner.c_str(), argv);
    std::fprintf(stderr, "korvane-run: cannot start %s: %s\n", runner.c_str(),
                 std::strerror(errno));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    tools::TRunnerSetup setup;
    setup.modules = [] { return std::make_unique<tools::TPlainModules>(); };
    setup.application = [](int& count, char** arguments) {
        // Qt's own event dispatcher: a pump between statements costs a fifth of the GLib
        // one's, and without windows nothing here needs GLib's main loop.
        const bool userChose = qEnvironmentVariableIsSet("QT_NO_GLIB");
        if (!userChose) qputenv("QT_NO_GLIB", "1");
        auto application = std::make_unique<QCoreApplication>(count, arguments);
        if (!userChose) qunsetenv("QT_NO_GLIB");
        return application;
    };
    setup.beforeRuns = HandOverWhenNeeded;
    return tools::RunnerMain(argc, argv, setup);
}
