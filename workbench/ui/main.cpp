// korvane: the workbench. "korvane FILE" loads FILE and runs it at once; a packaged copy runs
// its own script; "korvane --build SCRIPT OUT" packages SCRIPT without a window.
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTemporaryDir>

#include "tools/broken_pipe.h"
#include "tools/command_line.h"
#include "workbench/startup.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/program_start.h"
#include "workbench/ui/signal_watch.h"
#include "workbench/ui/user_dialogs.h"
#include "workbench/ui/workbench_app.h"

namespace {

constexpr korvane::tools::TProgramText kProgram = {
    "korvane",
    "usage: korvane [FILE]\n"
    "       korvane --build SCRIPT OUT\n",
    "The Korvane workbench: writes and runs Korvane scripts (.kvs). With FILE, loads it and runs\n"
    "it at once.\n"
    "  --build SCRIPT OUT  package SCRIPT and the racks it opens into OUT, a program of its own\n"
    "  --help              show this help;  --version  show the version\n"
    "Qt's own options (-platform, -style, ...) are taken as well.\n"};

std::vector<std::string> Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}

}  // namespace

int main(int argc, char** argv) {
    korvane::tools::IgnoreBrokenPipes();
    using namespace korvane::workbench;
    // The program file is read once for its payload area.
    TStartupEnvironment environment = SystemStartupEnvironment();
    environment.readOwnPayloadSpace = [space = environment.readOwnPayloadSpace()] {
        return space;
    };
    // A packaged copy is a program of its own: its arguments are not the workbench's options.
    const bool packaged = CarriesPayload(environment);
    if (!packaged) {
        // Answered before Qt starts, so no display is needed.
        const auto answered =
            korvane::tools::AnswerStandardOption(Arguments(argc, argv), kProgram, std::cout);
        if (answered) return *answered;
    }
    // Build needs no screen; without a display it still works.
    const bool build = IsBuildCommand(Arguments(argc, argv));
    if (build && std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
    }
    // A packaged copy unpacks its racks into a private folder (mode 0700) that goes with the
    // program, never into the folder it was started in.
    std::optional<QTemporaryDir> rackFolder;
    if (packaged) {
        rackFolder.emplace(QDir::tempPath() + QStringLiteral("/korvane-XXXXXX"));
        if (rackFolder->isValid()) {
            environment.writeRack = RackWriter(ToFileName(rackFolder->path()));
        }
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(kApplicationTitle));
    // The installed icon and menu entry, so the desktop shows the windows as Korvane's.
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("korvane")));
    QGuiApplication::setDesktopFileName(QStringLiteral("korvane"));
    // Qt has taken its own options out of argv by now.
    const std::vector<std::string> arguments = Arguments(argc, argv);
    if (!packaged && HasUnknownOption(arguments)) {
        return korvane::tools::UsageError(kProgram, std::cerr);
    }
    if (build) {
        TWorkbenchApp workbench(TWorkbenchApp::SystemOptions());
        return BuildFromCommandLine(workbench, arguments[1], arguments[2], std::cout, std::cerr);
    }
    const TStartupPlan plan = PlanStartup(arguments, environment);
    TWorkbenchOptions options = TWorkbenchApp::SystemOptions();
    options.standalone =
        plan.mode == TStartMode::Standalone || plan.mode == TStartMode::StandaloneFailed;
    if (rackFolder && rackFolder->isValid()) {
        options.packagedRackFolder = ToFileName(rackFolder->path());
    }
    TWorkbenchApp workbench(std::move(options));
    TSignalWatch signalWatch;
    QObject::connect(&signalWatch, &TSignalWatch::Caught, &workbench.MainForm(),
                     [&workbench] { workbench.MainForm().CloseForSignal(); });
    return StartProgram(workbench, plan, std::cerr);
}
