#include "net/tcp_server.h"

#include <QTimer>
#include <algorithm>

#include "net/socket_options.h"
#include "net/socket_queue.h"

namespace korvane::net {

namespace {

constexpr std::string_view kRefusal = "Busy\r\n";

std::string DottedPeerAddress(const QTcpSocket& socket) {
    const QHostAddress peer = socket.peerAddress();
    bool isIPv4 = false;
    const quint32 ipv4 = peer.toIPv4Address(&isIPv4);
    const QString text = isIPv4 ? QHostAddress(ipv4).toString() : peer.toString();
    return text.toStdString();
}

// The socket may be inside one of its own signals, so it goes at the next pump. (deleteLater
// would wait for an event loop level the headless runner never leaves.)
void Release(QTcpServer& server, QTcpSocket* socket) {
    socket->disconnect();
    QMetaObject::invokeMethod(
        &server, [socket] { delete socket; }, Qt::QueuedConnection);
}

void CloseNow(QTcpSocket& socket) {
    if (socket.state() == QAbstractSocket::ConnectedState) socket.flush();
    socket.abort();
}

}  // namespace

TTcpServer::TTcpServer() {
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server,
                     [this] { OnNewConnections(); });
}

// The accepted sockets are the listening socket's children and go with it, reporting their
// disconnects as they do: by then the client list is gone, so nobody may be listening.
TTcpServer::~TTcpServer() {
    for (const TAcceptedClient& client : m_clients) client.socket->disconnect();
}

bool TTcpServer::Listen(int port) {
    if (m_server.isListening() || port < 0 || port > 65535) return false;
    return m_server.listen(QHostAddress::AnyIPv4, static_cast<quint16>(port));
}

void TTcpServer::Close() {
    // Closing a socket reports its disconnect at once, which edits the list: work on a copy.
    const std::vector<TAcceptedClient> clients = m_clients;
    for (const TAcceptedClient& client : clients) CloseNow(*client.socket);
    for (const TAcceptedClient& client : m_clients) Release(m_server, client.socket);
    m_clients.clear();
    m_server.close();
}

std::string TTcpServer::FirstClientAddress() const {
    return m_clients.empty() ? std::string() : m_clients.front().peerAddress;
}

bool TTcpServer::SendToFirstClient(std::string_view data) {
    return !m_clients.empty() && QueueBytes(*m_clients.front().socket, data);
}

void TTcpServer::EmptyBuffer() {
    m_buffer.Clear();
    ScheduleTake();
}

void TTcpServer::RemoveReceived(int64_t count) {
    m_buffer.RemoveFirst(count);
    ScheduleTake();
}

void TTcpServer::SetRunActive(bool active) {
    m_runActive = active;
    if (active) TakeFromAll();
}

void TTcpServer::OnNewConnections() {
    while (QTcpSocket* socket = m_server.nextPendingConnection()) Accept(socket);
}

// An extra client is answered and closed without ever joining the list: nothing it does may
// touch the served client's buffer.
void TTcpServer::Accept(QTcpSocket* socket) {
    PrepareConnectedSocket(socket->socketDescriptor());
    if (!m_clients.empty()) {
        socket->write(kRefusal.data(), static_cast<qint64>(kRefusal.size()));
        CloseNow(*socket);
        Release(m_server, socket);
        return;
    }
    socket->setReadBufferSize(kSocketReadLimit);
    m_clients.push_back({socket, DottedPeerAddress(*socket)});
    m_buffer.Clear();
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { TakeFrom(socket); });
    QObject::connect(socket, &QTcpSocket::disconnected, socket,
                     [this, socket] { OnClientDisconnected(socket); });
}

void TTcpServer::OnClientDisconnected(QTcpSocket* socket) {
    m_buffer.Clear();
    std::erase_if(m_clients, [socket](const TAcceptedClient& c) { return c.socket == socket; });
    Release(m_server, socket);
}

void TTcpServer::TakeFrom(QTcpSocket* socket) {
    if (!m_runActive) return;
    const qint64 count =
        std::min<qint64>(socket->bytesAvailable(), static_cast<qint64>(m_buffer.Room()));
    if (count <= 0) return;
    const QByteArray bytes = socket->read(count);
    m_buffer.Append(std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
}

void TTcpServer::TakeFromAll() {
    for (const TAcceptedClient& client : m_clients) TakeFrom(client.socket);
}

void TTcpServer::ScheduleTake() {
    if (m_takeScheduled) return;
    m_takeScheduled = true;
    QTimer::singleShot(0, &m_server, [this] {
        m_takeScheduled = false;
        TakeFromAll();
    });
}

}  // namespace korvane::net
