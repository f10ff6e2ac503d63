#pragma once

#include <QTcpServer>
#include <QTcpSocket>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "net/receive_buffer.h"

namespace korvane::net {

// The one-client server WSS and its receive buffer. It serves one client at a time and empties
// the buffer when that client is accepted and when it goes; a second client is answered "Busy"
// CR LF and closed, leaving the served client and its data alone. Data is taken only while a
// run is in progress, everything pending at once.
class TTcpServer {
 public:
    TTcpServer();
    ~TTcpServer();
    TTcpServer(const TTcpServer&) = delete;
    TTcpServer& operator=(const TTcpServer&) = delete;

    // Listens on all IPv4 interfaces; false when already listening or the system refuses
    // (port in use, out of range). Port 0 takes any free port.
    bool Listen(int port);
    // Closes the accepted connections, then stops listening.
    void Close();
    bool Listening() const { return m_server.isListening(); }
    uint16_t Port() const { return m_server.serverPort(); }

    size_t ClientCount() const { return m_clients.size(); }
    // The first client's peer address as captured at accept time, or the empty text.
    std::string FirstClientAddress() const;
    // Queues the bytes on the first client; false when there is none or it does not take them.
    bool SendToFirstClient(std::string_view data);

    const std::string& Received() const { return m_buffer.Text(); }
    void EmptyBuffer();
    void RemoveReceived(int64_t count);
    void SetRunActive(bool active);

 private:
    struct TAcceptedClient {
        QTcpSocket* socket;
        std::string peerAddress;
    };

    void OnNewConnections();
    void Accept(QTcpSocket* socket);  // WSSClientConnect and the client limit check
    void OnClientDisconnected(QTcpSocket* socket);
    // ClientDataAvailable.
    void TakeFrom(QTcpSocket* socket);
    void TakeFromAll();
    void ScheduleTake();

    QTcpServer m_server;
    std::vector<TAcceptedClient> m_clients;  // in order of acceptance
    TReceiveBuffer m_buffer;
    bool m_runActive = false;
    bool m_takeScheduled = false;
};

}  // namespace korvane::net
