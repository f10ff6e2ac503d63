#pragma once

#include "host/dm.h"
#include "net/tcp_endpoints.h"
#include "tools/runner_main.h"

namespace korvane::tools {

// The modules that need no window: the file slot and the TCP endpoints, with the log, file and
// window commands.
class TPlainModules : public TRunnerModules {
public:
    // Binds the commands, then reports a port map with mistakes.
    void Bind(engine::TDispatch& dispatch, TConsoleHost& host) override;
    // The commands alone.
    void BindCommands(engine::TDispatch& dispatch, TConsoleHost& host);
    net::TTcpEndpoints& Tcp() override { return m_tcp; }
    int ClosePorts() override { return 0; }

private:
    host::TDM m_dm;
    net::TTcpEndpoints m_tcp;
};

}  // namespace korvane::tools
