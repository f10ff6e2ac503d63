#pragma once

#include <QCoreApplication>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "tools/bounded_file.h"
#include "tools/runner_options.h"

namespace korvane::engine {
class TDispatch;
}
namespace korvane::net {
class TTcpEndpoints;
}

namespace korvane::tools {

class TConsoleHost;

// What outlives a run besides the engine's state, as the workbench's application object
// holds it. Each run gets fresh modules.
class TRunnerModules {
public:
    virtual ~TRunnerModules() = default;
    virtual void Bind(engine::TDispatch& dispatch, TConsoleHost& host) = 0;
    virtual net::TTcpEndpoints& Tcp() = 0;
    // Closes what the run left open. The exit code that calls for, or 0; a message has said
    // why.
    virtual int ClosePorts() = 0;
};

// What the two runner programs differ in: the one for scripts without windows or ports
// starts without the widget libraries, which take most of a short run's start-up.
struct TRunnerSetup {
    std::function<std::unique_ptr<TRunnerModules>()> modules;
    std::function<std::unique_ptr<QCoreApplication>(int& argc, char** argv)> application;
    // Once the command line is read, before the first run; an exit code ends the program.
    // It may read scripts ahead (one entry per script, in order), and the runs then take
    // those texts instead of reading the files again.
    std::function<std::optional<int>(const TRunnerOptions& options, char** argv,
                                     std::vector<std::optional<TFileText>>& readAhead)>
        beforeRuns;
};

// korvane-run's command line, runs, summaries and reports.
int RunnerMain(int argc, char** argv, const TRunnerSetup& setup);

}  // namespace korvane::tools
