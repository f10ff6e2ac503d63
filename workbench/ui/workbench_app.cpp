#include "workbench/ui/workbench_app.h"

#include "engine/builtins.h"
#include "host/log_commands.h"
#include "net/tcp_endpoints.h"
#include "workbench/file_io.h"
#include "workbench/settings_path.h"
#include "workbench/ui/about_window.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/user_dialogs.h"
#include "workbench/ui/watch_window.h"

namespace korvane::workbench {

namespace {

TSettings ReadSettings(const TWorkbenchOptions& options) {
    std::error_code error;
    if (!options.fallbackSettingsPath.empty() &&
        !std::filesystem::exists(options.settingsPath, error)) {
        return LoadSettings(options.fallbackSettingsPath);
    }
    return LoadSettings(options.settingsPath);
}

}  // namespace

TWorkbenchApp::TWorkbenchApp(TWorkbenchOptions options) {
    if (options.dialogs == nullptr) {
        m_ownDialogs = std::make_unique<TQtUserDialogs>();
        options.dialogs = m_ownDialogs.get();
    }
    m_context.settings = ReadSettings(options);
    m_context.settingsPath = options.settingsPath;
    m_context.executableFolder = options.executableFolder;
    m_context.standalone = options.standalone;
    m_context.dialogs = options.dialogs;
    m_context.clock = std::move(options.clock);
    BindModules();
    m_watch = std::make_unique<TFrmWatch>();
    m_about = std::make_unique<TFrmAbout>();
    m_mainForm = std::make_unique<TMainForm>(m_context, *m_watch, *m_about);
    m_watch->SetClosedAction([this](QPoint at) {
        m_context.settings.debugPosition = {at.x(), at.y()};
    });
}

TWorkbenchApp::~TWorkbenchApp() = default;

void TWorkbenchApp::BindModules() {
    engine::BindEngine(m_context.dispatch);
    host::BindLogCommands(m_context.dispatch);

    m_tcp = std::make_unique<net::TTcpEndpoints>();
    m_tcp->Bind(m_context.dispatch);
    TModuleHooks& modules = m_context.modules;
    modules.closeConnections = [this] { m_tcp->CloseAll(); };
    modules.emptyServerBuffer = [this] { m_tcp->EmptyServerBuffer(); };
    modules.runActive = [this](bool active) { m_tcp->SetRunActive(active); };
}

TWorkbenchOptions TWorkbenchApp::SystemOptions() {
    TWorkbenchOptions options;
    const auto executable = OwnExecutablePath();
    options.executableFolder = executable ? executable->parent_path() : ".";
    options.settingsPath = SystemSettingsPath();
    const std::filesystem::path beside = options.executableFolder / kSettingsFileName;
    if (options.settingsPath != beside) options.fallbackSettingsPath = beside;
    return options;
}

}  // namespace korvane::workbench
