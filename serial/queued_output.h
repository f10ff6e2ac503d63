#pragma once
// Output a device sends without blocking: bytes wait in a queue and leave from its front, so
// the order holds whoever drains (the caller's write or the reader thread's wait).
#include <sys/types.h>

#include <cerrno>
#include <string>
#include <string_view>

#include "byte_queue.h"
#include "device_result.h"
#include "system_call.h"
#include "wake_event.h"

namespace korvane::serial {

// Sends through `put` (a non-blocking write of a view) until the queue is empty or `put` would
// block. The errno of a failed send, else 0.
template <typename TPut>
int DrainQueue(TByteQueue& queue, TPut put) {
    while (!queue.Empty()) {
        const std::string_view front = queue.Front();
        const ssize_t sent = RetryOnEintr([&] { return put(front); });
        if (sent < 0) return errno == EAGAIN ? 0 : errno;
        queue.Consume(static_cast<std::size_t>(sent));
    }
    return 0;
}

// Queues `data` and sends what the device takes now; what is left wakes the reader, which
// waits for room. The caller holds the queue's lock.
template <typename TPut>
TDeviceResult QueueAndSend(TByteQueue& queue, std::string_view data, TWakeEvent& wake, TPut put) {
    if (!queue.Append(data)) {
        return TDeviceResult::Fail("write: output queue full (" + std::to_string(queue.Size()) +
                                   " bytes waiting)");
    }
    if (const int error = DrainQueue(queue, put); error != 0) {
        queue.Clear();
        return TDeviceResult::Fail(SystemMessage("write", error));
    }
    if (!queue.Empty()) wake.Wake();
    return TDeviceResult::Ok();
}

}  // namespace korvane::serial
