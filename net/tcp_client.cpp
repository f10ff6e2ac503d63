#include "net/tcp_client.h"

#include <QTimer>

#include "net/socket_options.h"
#include "net/socket_queue.h"

namespace korvane::net {

std::optional<uint16_t> ResolvePort(std::string_view text) {
    if (text.empty()) return std::nullopt;
    if (text.find_first_not_of("0123456789") != std::string_view::npos) {
        return LookupServicePort(std::string(text));
    }
    unsigned port = 0;
    for (char digit : text) {
        port = port * 10 + static_cast<unsigned>(digit - '0');
        if (port > 65535) return std::nullopt;
    }
    if (port == 0) return std::nullopt;
    return static_cast<uint16_t>(port);
}

TTcpClient::TTcpClient() {
    m_socket.setReadBufferSize(kSocketReadLimit);
    QObject::connect(&m_socket, &QTcpSocket::connected, &m_socket, [this] { OnConnected(); });
    QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] { TakePending(); });
    QObject::connect(&m_socket, &QTcpSocket::disconnected, &m_socket, [this] { OnDisconnected(); });
}

// A socket that goes while connected reports its disconnect; by then the buffer is gone.
TTcpClient::~TTcpClient() { m_socket.disconnect(); }

TTcpClient::TConnect TTcpClient::Connect(std::string_view address, std::string_view port,
                                         const engine::TWaitStep& waitStep) {
    if (m_socket.state() != QAbstractSocket::UnconnectedState) {
        const bool sameTarget = address == m_address && port == m_port;
        return sameTarget ? TConnect::AlreadyOpen : TConnect::Busy;
    }
    m_address = std::string(address);
    m_port = std::string(port);
    m_buffer.Clear();
    const std::optional<uint16_t> portNumber = ResolvePort(port);
    if (!portNumber) return TConnect::Unresolved;
    const std::optional<QHostAddress> host = ResolveAddress(address, m_lookup, waitStep);
    if (!host) return TConnect::Unresolved;
    m_socket.connectToHost(*host, *portNumber);
    return TConnect::Started;
}

void TTcpClient::Close() {
    m_closingHere = true;
    if (m_socket.state() == QAbstractSocket::ConnectedState) m_socket.flush();
    m_socket.abort();
    m_closingHere = false;
}

bool TTcpClient::Send(std::string_view data) { return QueueBytes(m_socket, data); }

void TTcpClient::EmptyBuffer() {
    m_buffer.Clear();
    ScheduleTake();
}

void TTcpClient::RemoveReceived(int64_t count) {
    m_buffer.RemoveFirst(count);
    ScheduleTake();
}

void TTcpClient::SetRunActive(bool active) {
    m_runActive = active;
    if (active) TakePending();
}

void TTcpClient::OnConnected() { PrepareConnectedSocket(m_socket.socketDescriptor()); }

// Data the peer sent just before it closed is still waiting in the socket: take it first.
void TTcpClient::OnDisconnected() {
    if (!m_closingHere) TakePending();
}

void TTcpClient::TakePending() {
    if (!m_runActive || !m_socket.isOpen()) return;
    char chunk[kChunkSize];
    while (m_buffer.Room() >= static_cast<size_t>(kChunkSize)) {
        const qint64 received = m_socket.read(chunk, kChunkSize);
        if (received <= 0) break;
        m_buffer.Append(std::string_view(chunk, static_cast<size_t>(received)));
    }
}

void TTcpClient::ScheduleTake() {
    if (m_takeScheduled) return;
    m_takeScheduled = true;
    QTimer::singleShot(0, &m_socket, [this] {
        m_takeScheduled = false;
        TakePending();
    });
}

}  // namespace korvane::net
