#include "serial/serial_module.h"

#include <utility>

#include "serial/frm_set.h"
#include "serial/port_scan.h"
#include "serial/serial_commands.h"

namespace korvane::serial {

namespace {

TMappedPorts MapSystemPorts(const TPortEntries& entries, std::vector<TPortMapIssue>& issues) {
    TPortMapResult result = LoadSystemPortMap(entries);
    issues = std::move(result.issues);
    return TMappedPorts(std::move(result.map));
}

}  // namespace

TSerialModule::TSerialModule(TSerialOptions options)
    : m_ports(MapSystemPorts(options.portEntries, m_issues)),
      m_table(m_ports,
              TTerminalSetup{std::move(options.layoutFile), options.owner,
                             std::move(options.mainFrame), std::move(options.placeShown)}) {
    if (options.portDialog) m_dialog = std::make_unique<TFrmSet>(options.owner);
}

TSerialModule::~TSerialModule() { CloseAll(); }

void TSerialModule::Bind(engine::TDispatch& dispatch) {
    TAskPortSettings ask;
    if (m_dialog) {
        ask = [dialog = m_dialog.get()](const std::vector<std::string>& ports) {
            return dialog->Ask(ports);
        };
    }
    BindSerialStatements(dispatch, m_table, std::move(ask));
    BindSerialFunctions(dispatch, m_table);
}

}  // namespace korvane::serial
