#pragma once

#include <QHostAddress>
#include <QTcpSocket>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/wait_step.h"
#include "net/name_lookup.h"
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

    enum class TConnect {
        Started,      // the buffer was emptied and the connect is under way
        AlreadyOpen,  // connected or connecting to this very target: connection and data kept
        Busy,         // the socket is busy with another target; nothing changed
        Unresolved,   // the address or the port cannot be resolved
    };
    // Empties the receive buffer and starts connecting without waiting for the peer. A host
    // name is looked up while `waitStep` runs every few milliseconds (it may throw to give up).
    TConnect Connect(std::string_view address, std::string_view port,
                     const engine::TWaitStep& waitStep = {});
    // Tests put a lookup of their own in place of the system's.
    void SetHostLookup(THostLookup lookup) { m_lookup = std::move(lookup); }
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
    THostLookup m_lookup = SystemHostLookup;
    bool m_runActive = false;
    bool m_closingHere = false;
    bool m_takeScheduled = false;
};

// Parses a port text: decimal 1..65535, or a service name the system knows.
std::optional<uint16_t> ResolvePort(std::string_view text);

}  // namespace korvane::net
