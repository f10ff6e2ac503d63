// korvane: the workbench. "korvane FILE" loads FILE and runs it at once; a packaged copy runs
// its own script; "korvane --build SCRIPT OUT" packages SCRIPT without a window.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include <QApplication>

#include "workbench/startup.h"
#include "workbench/ui/program_start.h"
#include "workbench/ui/workbench_app.h"

namespace {

std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace korvane::workbench;
    // Build needs no screen; without a display it still works.
    const bool build = IsBuildCommand(Arguments(argc, argv));
    if (build && std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    // Qt has taken its own options out of argv by now.
    const std::vector<std::string> arguments = Arguments(argc, argv);
    if (build) {
        TWorkbenchApp workbench(TWorkbenchApp::SystemOptions());
        return BuildFromCommandLine(workbench, arguments[1], arguments[2], std::cout, std::cerr);
    }
    const TStartupPlan plan = PlanStartup(arguments, SystemStartupEnvironment());
    TWorkbenchOptions options = TWorkbenchApp::SystemOptions();
    options.standalone =
        plan.mode == TStartMode::Standalone || plan.mode == TStartMode::StandaloneFailed;
    TWorkbenchApp workbench(std::move(options));
    return StartProgram(workbench, plan, std::cerr);
}
