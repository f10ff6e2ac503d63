#include "net/socket_queue.h"

namespace korvane::net {

bool QueueBytes(QTcpSocket& socket, std::string_view data) {
    if (socket.state() != QAbstractSocket::ConnectedState) return false;
    if (data.empty()) return true;
    const qint64 size = static_cast<qint64>(data.size());
    if (socket.bytesToWrite() + size > kSendQueueLimit) return false;
    if (socket.write(data.data(), size) != size) return false;
    // Hand the bytes to the system now rather than at the next pump: a round trip then costs
    // one wait for events instead of two. This never blocks.
    socket.flush();
    return true;
}

}  // namespace korvane::net
