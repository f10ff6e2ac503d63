#include "tools/plain_modules.h"

#include <cstdio>

#include "host/file_commands.h"
#include "host/log_commands.h"
#include "host/window_commands.h"
#include "serial/port_entries.h"
#include "serial/port_scan.h"
#include "tools/console_host.h"
#include "workbench/settings_path.h"

namespace korvane::tools {
namespace {

// A port map with mistakes is reported on every run, whether or not the script uses ports:
// the same map serves the next script that does.
void ReportPortMapIssues() {
    const serial::TPortMapResult ports = serial::LoadSystemPortMap(
        serial::LoadPortEntries(workbench::SystemSettingsFileToRead()));
    for (const serial::TPortMapIssue& issue : ports.issues) {
        std::fprintf(stderr, "korvane-run: port map: %s\n", issue.Text().c_str());
    }
}

}  // namespace

void TPlainModules::Bind(engine::TDispatch& dispatch, TConsoleHost& host) {
    BindCommands(dispatch, host);
    ReportPortMapIssues();
}

void TPlainModules::BindCommands(engine::TDispatch& dispatch, TConsoleHost& host) {
    host::BindLogCommands(dispatch);
    host::BindFileCommands(dispatch, m_dm);
    host::BindWindowCommands(dispatch, host);
    m_tcp.Bind(dispatch);
    host.SetTcpEndpoints(&m_tcp);
}

}  // namespace korvane::tools
