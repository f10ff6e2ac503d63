#include "net/socket_queue.h"

namespace korvane::net {

bool QueueBytes(QTcpSocket& socket, std::string_view data) {
    if (socket.state() != QAbstractSocket::ConnectedState) return false;
    if (data.empty()) return true;
    const qint64 size = static_cast<qint64>(data.size());
    if (socket.bytesToWrite() + size > kSendQueueLimit) return false;
    return socket.write(data.data(), size) == size;
}

}  // namespace korvane::net
