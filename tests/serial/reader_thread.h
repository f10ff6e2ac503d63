#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "serial/serial_device.h"

namespace korvane::serial::testing {

// Plays the channel's reader thread: waits for events, reads the bytes each data event
// announces and keeps everything for the test to look at.
class TReaderThread {
 public:
    explicit TReaderThread(TSerialDevice& device) : m_device(device), m_thread([this] { Run(); }) {}
    ~TReaderThread() { Stop(); }

    void Stop() {
        if (m_thread.joinable()) {
            m_device.Shutdown();
            m_thread.join();
        }
    }

    // Waits up to a few seconds for `done` to hold; true if it did.
    bool WaitFor(const std::function<bool()>& done) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(10), done);
    }
    bool WaitForBytes(std::size_t count) {
        return WaitFor([&] { return m_received.size() >= count; });
    }
    bool WaitForEvent(std::uint32_t bit) {
        return WaitFor([&] {
            for (const TDeviceEvent& event : m_events) {
                if (event.mask & bit) {
                    return true;
                }
            }
            return false;
        });
    }

    std::string Received() {
        std::lock_guard lock(m_mutex);
        return m_received;
    }
    // Events other than pure data events, in order.
    std::vector<TDeviceEvent> LineEvents() {
        std::lock_guard lock(m_mutex);
        std::vector<TDeviceEvent> lineEvents;
        for (const TDeviceEvent& event : m_events) {
            if (event.mask & ~kEventRxChar) {
                lineEvents.push_back(event);
            }
        }
        return lineEvents;
    }
    int EventCount() {
        std::lock_guard lock(m_mutex);
        return static_cast<int>(m_events.size());
    }
    std::vector<std::string> ReadErrors() {
        std::lock_guard lock(m_mutex);
        return m_readErrors;
    }

 private:
    void Run() {
        for (;;) {
            const TDeviceEvent event = m_device.WaitEvent();
            if (event.closed) {
                return;
            }
            std::string chunk;
            const TDeviceResult read =
                (event.mask & kEventRxChar) ? m_device.ReadQueued(chunk) : TDeviceResult::Ok();
            std::lock_guard lock(m_mutex);
            m_events.push_back(event);
            m_received += chunk;
            if (!read) {
                m_readErrors.push_back(read.Message());
            }
            m_changed.notify_all();
        }
    }

    TSerialDevice& m_device;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_received;
    std::vector<TDeviceEvent> m_events;
    std::vector<std::string> m_readErrors;
    std::thread m_thread;
};

// Every byte value once, in order.
inline std::string AllByteValues() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) {
        bytes.push_back(static_cast<char>(value));
    }
    return bytes;
}

}  // namespace korvane::serial::testing
