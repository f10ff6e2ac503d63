#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "engine/engine_host.h"
#include "workbench/ui/workbench_context.h"

namespace korvane::host {
class TDM;
class TDesktopLauncher;
class TWindowActions;
}  // namespace korvane::host
namespace korvane::net {
class TTcpEndpoints;
}
namespace korvane::serial {
class TSerialModule;
}

namespace korvane::workbench {

class TFrmAbout;
class TFrmWatch;
class TMainForm;
class TQtUserDialogs;
class TUserDialogs;
class TWorkbenchRack;

struct TWorkbenchOptions {
    // korvane.ini to read and to write at exit.
    std::filesystem::path settingsPath;
    // Read instead when settingsPath does not exist yet (the file beside the executable when
    // the settings had to move to the user's folder).
    std::filesystem::path fallbackSettingsPath;
    // Help, terminal.res and the file dialogs' first folder are here.
    std::filesystem::path executableFolder;
    // The program file Build packages.
    std::filesystem::path executablePath;
    TUserDialogs* dialogs = nullptr;  // null: the desktop's own dialogs
    std::function<engine::TLocalTime()> clock;
    bool standalone = false;
    // A standalone program's unpacked racks.
    std::filesystem::path packagedRackFolder;
};

// The application object: the program-wide state (dispatch tables, shared run state,
// settings), the subsystems' objects that outlive runs (file slot, serial ports, TCP
// endpoints, launcher) and the windows (main, rack, Watch, About), created at start and kept
// until exit.
class TWorkbenchApp {
public:
    explicit TWorkbenchApp(TWorkbenchOptions options);
    ~TWorkbenchApp();
    TWorkbenchApp(const TWorkbenchApp&) = delete;
    TWorkbenchApp& operator=(const TWorkbenchApp&) = delete;

    TMainForm& MainForm() { return *m_mainForm; }
    TFrmWatch& Watch() { return *m_watch; }
    TFrmAbout& About() { return *m_about; }
    TWorkbenchRack& Rack() { return *m_rack; }
    TWorkbenchContext& Context() { return m_context; }

    // Where a real start keeps its settings and finds its Help folder.
    static TWorkbenchOptions SystemOptions();

private:
    void BindModules();
    void BindSerial();
    void BindRack();

    std::unique_ptr<TQtUserDialogs> m_ownDialogs;
    TWorkbenchContext m_context;
    std::unique_ptr<TFrmWatch> m_watch;
    std::unique_ptr<TFrmAbout> m_about;
    std::unique_ptr<TMainForm> m_mainForm;
    std::unique_ptr<host::TDM> m_dm;
    std::unique_ptr<host::TDesktopLauncher> m_launcher;
    std::unique_ptr<host::TWindowActions> m_windowActions;
    std::unique_ptr<net::TTcpEndpoints> m_tcp;
    std::unique_ptr<serial::TSerialModule> m_serial;
    std::unique_ptr<TWorkbenchRack> m_rack;
};

}  // namespace korvane::workbench
