#include "workbench/ui/workbench_app.h"

#include <QMetaObject>

#include "engine/builtins.h"
#include "host/desktop_launcher.h"
#include "host/dm.h"
#include "host/exec_command.h"
#include "host/file_commands.h"
#include "host/log_commands.h"
#include "host/program_files.h"
#include "host/window_actions.h"
#include "host/window_commands.h"
#include "net/tcp_endpoints.h"
#include "racks/ui/frm_rack.h"
#include "serial/serial_module.h"
#include "workbench/file_io.h"
#include "workbench/settings_path.h"
#include "workbench/ui/about_window.h"
#include "workbench/ui/log_pane.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/rack_owner.h"
#include "workbench/ui/user_dialogs.h"
#include "workbench/ui/watch_window.h"
#include "workbench/ui/window_placement.h"

namespace korvane::workbench {

namespace {

constexpr const char* kTerminalLayout = "terminal.res";

TSettings ReadSettings(const TWorkbenchOptions& options) {
    std::error_code error;
    if (!options.fallbackSettingsPath.empty() &&
        !std::filesystem::exists(options.settingsPath, error)) {
        return LoadSettings(options.fallbackSettingsPath);
    }
    return LoadSettings(options.settingsPath);
}

// A packaged program has just unpacked its terminal.res; beside the executable there may be
// none when the copy runs from another folder. Otherwise it comes with the program.
std::filesystem::path TerminalLayoutPath(const TWorkbenchContext& context) {
    std::error_code error;
    if (context.standalone && !context.packagedRackFolder.empty()) {
        const std::filesystem::path packaged = context.packagedRackFolder / kTerminalLayout;
        if (std::filesystem::is_regular_file(packaged, error)) return packaged;
    }
    return host::ProgramFile(context.executableFolder, kTerminalLayout);
}

// showmain and hidemain act on the workbench window.
class TFormWindowActions : public host::TWindowActions {
public:
    explicit TFormWindowActions(TMainForm& form) : m_form(form) {}
    void ShowMain() override {
        m_form.show();
        m_form.raise();
        m_form.activateWindow();
    }
    void HideMain() override { m_form.hide(); }

private:
    TMainForm& m_form;
};

}  // namespace

TWorkbenchApp::TWorkbenchApp(TWorkbenchOptions options) {
    if (options.dialogs == nullptr) {
        m_ownDialogs = std::make_unique<TQtUserDialogs>();
        options.dialogs = m_ownDialogs.get();
    }
    m_context.settings = ReadSettings(options);
    m_context.settingsPath = options.settingsPath;
    m_context.executableFolder = options.executableFolder;
    m_context.executablePath = options.executablePath;
    m_context.standalone = options.standalone;
    m_context.packagedRackFolder = options.packagedRackFolder;
    m_context.dialogs = options.dialogs;
    m_context.clock = std::move(options.clock);
    m_watch = std::make_unique<TFrmWatch>();
    m_about = std::make_unique<TFrmAbout>();
    m_mainForm = std::make_unique<TMainForm>(m_context, *m_watch, *m_about);
    BindModules();
}

// The serial ports close (and their terminal windows go) and the rack window goes before
// the windows they belong to.
TWorkbenchApp::~TWorkbenchApp() {
    m_serial.reset();
    m_rack.reset();
}

void TWorkbenchApp::BindModules() {
    engine::TDispatch& dispatch = m_context.dispatch;
    engine::BindEngine(dispatch);
    host::BindLogCommands(dispatch);
    m_dm = std::make_unique<host::TDM>();
    host::BindFileCommands(dispatch, *m_dm);
    m_launcher = std::make_unique<host::TDesktopLauncher>();
    host::BindExecCommand(dispatch, *m_launcher);
    m_windowActions = std::make_unique<TFormWindowActions>(*m_mainForm);
    host::BindWindowCommands(dispatch, *m_windowActions);

    m_tcp = std::make_unique<net::TTcpEndpoints>();
    m_tcp->Bind(dispatch);
    TModuleHooks& modules = m_context.modules;
    modules.closeConnections = [this] { m_tcp->CloseAll(); };
    modules.emptyServerBuffer = [this] { m_tcp->EmptyServerBuffer(); };
    modules.runActive = [this](bool active) { m_tcp->SetRunActive(active); };
    BindSerial();
    BindRack();
    m_context.modules.storeSettings = [this](TSettings& settings) {
        if (const std::optional<QPoint> terminalAt = m_serial->TerminalPosition()) {
            settings.terminalPosition = TPosition{terminalAt->x(), terminalAt->y()};
        }
        // A rack still shown is where it is now; a hidden one where it was last closed.
        const racks::TFrmRack& rack = m_rack->Window();
        if (rack.isVisible()) settings.rackPosition = TPosition{rack.x(), rack.y()};
    };
}

void TWorkbenchApp::BindRack() {
    m_rack = std::make_unique<TWorkbenchRack>(*m_mainForm, m_context);
    m_rack->Bind();
}

void TWorkbenchApp::BindSerial() {
    serial::TSerialOptions options;
    options.portEntries = m_context.settings.ports;
    options.layoutFile = TerminalLayoutPath(m_context);
    options.owner = m_mainForm.get();
    options.mainFrame = [this] { return m_mainForm->frameGeometry(); };
    options.placeShown = [this](std::optional<QPoint> remembered, QSize frame) {
        return PlaceHelperWindow(remembered, m_mainForm->frameGeometry(), frame,
                                 AvailableScreens());
    };
    m_serial = std::make_unique<serial::TSerialModule>(std::move(options));
    m_serial->Bind(m_context.dispatch);
    if (const std::optional<TPosition>& terminal = m_context.settings.terminalPosition) {
        m_serial->SetTerminalPosition(QPoint(terminal->x, terminal->y));
    }
    // Port map entries that were left out are worth a look before the first run.
    for (const serial::TPortMapIssue& issue : m_serial->PortMapIssues()) {
        m_mainForm->Log().AppendItem(issue.Text());
    }
    // Why a recorded or replayed port would not open, and where a replay parted from the
    // script; they may come from a port's own threads.
    m_serial->PortNotices().SetListener([form = m_mainForm.get()](const std::string& text) {
        QMetaObject::invokeMethod(
            form, [form, text] { form->Log().AppendItem(text); }, Qt::QueuedConnection);
    });
}

TWorkbenchOptions TWorkbenchApp::SystemOptions() {
    TWorkbenchOptions options;
    const auto executable = OwnExecutablePath();
    options.executableFolder = executable ? executable->parent_path() : ".";
    if (executable) options.executablePath = *executable;
    options.settingsPath = SystemSettingsPath();
    const std::filesystem::path beside = options.executableFolder / kSettingsFileName;
    if (options.settingsPath != beside) options.fallbackSettingsPath = beside;
    return options;
}

}  // namespace korvane::workbench
