#pragma once

#include <QTcpSocket>
#include <string_view>

namespace korvane::net {

// How much Qt may hold unread for one socket; beyond it the system's receive window closes
// and the peer waits.
constexpr qint64 kSocketReadLimit = 64 * 1024;
// How much may wait to go out to a peer that does not read; a send beyond it fails instead of
// growing memory without end.
constexpr qint64 kSendQueueLimit = 16 * 1024 * 1024;

// Queues the bytes on a connected socket; false when it is not connected, the queue is full
// or the socket refuses them. An empty text sends nothing and succeeds.
bool QueueBytes(QTcpSocket& socket, std::string_view data);

}  // namespace korvane::net
