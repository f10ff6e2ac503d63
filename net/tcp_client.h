#pragma once

#include <QHostAddress>
#include <QTcpSocket>
#include <cstdint>
#include <string>
#include <string_view>

#include "net/receive_buffer.h"

namespace korvane::net {

// The client connection WS1 and its receive buffer. Data is taken from the socket only while
// a run is in progress, in chunks of at most 128 bytes, every byte kept (zero bytes too: the
// data is counted bytes, never C text). Address resolution and port lookup happen here; the
// script's messages are the commands' business.
class TTcpClient {
 public:
    static constexpr qint64 kChunkSize = 128;

    TTcpClient();
    ~TTcpClient();
    TTcpClient(const TTcpClient&) = delete;
    TTcpClient& operator=(const TTcpClient&) = delete;

    // Empties the receive buffer and starts connecting without waiting. False for what is
    // known at once: the socket is not closed, the address or the port cannot be resolved.
    // When the socket is busy with another address or port the buffer is left as it is.
    bool Connect(std::string_view address, std::string_view port);
    // Hands queued bytes to the system, then closes at once (any state).
    void Close();
    bool Connected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    // Queues the bytes; false when not connected or the socket does not take them.
    bool Send(std::string_view data);

    const std::string& Received() const { return m_buffer.Text(); }
    void EmptyBuffer();
    void RemoveReceived(int64_t count);
    void SetRunActive(bool active);

 private:
    void OnConnected();
    void OnDisconnected();
    // WS1DataAvailable: every pending chunk, in order, while the buffer has room.
    void TakePending();
    // Takes what is still pending once the current statement is over.
    void ScheduleTake();

    QTcpSocket m_socket;
    TReceiveBuffer m_buffer;
    std::string m_address;
    std::string m_port;
    bool m_runActive = false;
    bool m_closingHere = false;
    bool m_takeScheduled = false;
};

// Parses a port text: decimal 1..65535, or a service name the system knows.
std::optional<uint16_t> ResolvePort(std::string_view text);
// A dotted IPv4 (or IPv6) address as it stands, or a host name resolved now (IPv4 first).
std::optional<QHostAddress> ResolveAddress(std::string_view text);

}  // namespace korvane::net
