// korvane-run for scripts that use windows, serial ports or the desktop: korvane-run hands
// such scripts over to this program, which has every module the workbench has.
#include <QApplication>
#include <QScreen>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "host/desktop_launcher.h"
#include "host/exec_command.h"
#include "host/program_files.h"
#include "racks/ui/frm_rack.h"
#include "racks/ui/rack_commands.h"
#include "serial/port_entries.h"
#include "serial/serial_module.h"
#include "tools/console_host.h"
#include "tools/plain_modules.h"
#include "tools/runner_main.h"
#include "workbench/settings_path.h"

namespace {

namespace tools = korvane::tools;

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

// The plain modules with the desktop launcher, the serial ports and the rack window.
class TToolkitModules : public tools::TPlainModules {
public:
    void Bind(korvane::engine::TDispatch& dispatch, tools::TConsoleHost& host) override {
        TPlainModules::Bind(dispatch, host);
        korvane::host::BindExecCommand(dispatch, m_launcher);
        m_serial.Bind(dispatch);
        m_rack = std::make_unique<korvane::racks::TFrmRack>(host);
        korvane::racks::BindRackCommands(dispatch, *m_rack);
        host.SetRackBinding(&m_rack->Binding());
        m_serial.PortNotices().SetListener([](const std::string& text) {
            std::fprintf(stderr, "korvane-run: %s\n", text.c_str());
        });
    }

    // Closes the ports: a replay checks then that the script sent all it had recorded, and
    // a recording takes its file's place.
    int ClosePorts() override {
        m_serial.CloseAll();
        if (!m_serial.PortNotices().Mismatches().empty()) return 4;
        return m_serial.PortNotices().RecordingFailures().empty() ? 0 : 1;
    }

private:
    korvane::host::TDesktopLauncher m_launcher;
    korvane::serial::TSerialModule m_serial{SerialOptions()};
    std::unique_ptr<korvane::racks::TFrmRack> m_rack;
};

}  // namespace

int main(int argc, char** argv) {
    tools::TRunnerSetup setup;
    setup.modules = [] { return std::make_unique<TToolkitModules>(); };
    setup.application = [](int& count, char** arguments) -> std::unique_ptr<QCoreApplication> {
        ChooseOffscreenWithoutDisplay();
        return std::make_unique<QApplication>(count, arguments);
    };
    return tools::RunnerMain(argc, argv, setup);
}
