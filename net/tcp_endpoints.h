#pragma once

#include "engine/dispatch.h"
#include "net/tcp_client.h"
#include "net/tcp_server.h"

namespace korvane::net {

// The TCP client WS1 and the one-client server WSS with their two receive buffers, owned by
// the application object for the whole life of the program and shared by every run. The run
// control tells it when a run is in progress and when the run's connections must go.
class TTcpEndpoints {
 public:
    TTcpClient& Client() { return m_client; }
    TTcpServer& Server() { return m_server; }

    // Binds the TCP statements and functions to these endpoints.
    void Bind(engine::TDispatch& dispatch);
    // End of run and Stop: the server's client, the server and the client connection close.
    void CloseAll();
    void EmptyServerBuffer() { m_server.EmptyBuffer(); }
    // Data is taken into the buffers only while a run is in progress (paused included).
    void SetRunActive(bool active);

 private:
    TTcpClient m_client;
    TTcpServer m_server;
};

}  // namespace korvane::net
