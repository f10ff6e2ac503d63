#include "net/tcp_endpoints.h"

#include "net/tcp_commands.h"

namespace korvane::net {

void TTcpEndpoints::Bind(engine::TDispatch& dispatch) { BindTcpCommands(dispatch, *this); }

void TTcpEndpoints::CloseAll() {
    m_server.Close();
    m_client.Close();
}

void TTcpEndpoints::SetRunActive(bool active) {
    m_client.SetRunActive(active);
    m_server.SetRunActive(active);
}

}  // namespace korvane::net
