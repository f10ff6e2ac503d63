#pragma once

#include <QThread>
#include <condition_variable>
#include <functional>
#include <mutex>

#include "serial/serial_device.h"

namespace korvane::serial {

// The reader of one open port: it waits on the device and hands every event to the GUI
// thread, blocking until the event has been handled there, so buffers and line states change
// on the GUI thread only. Stop cancels a hand-over in progress, so the GUI thread can wait
// for the reader to end without the two waiting on each other.
class TCommThread : public QThread {
 public:
    using THandler = std::function<void(const TDeviceEvent&)>;

    // Made, started and stopped on the GUI thread; `handler` runs there.
    TCommThread(TSerialDevice& device, THandler handler);
    ~TCommThread() override;
    TCommThread(const TCommThread&) = delete;
    TCommThread& operator=(const TCommThread&) = delete;

    // Ends the reader and waits for it; once it returns the handler is never called again
    // and the device may be closed.
    void Stop();

 protected:
    void run() override;
    void customEvent(QEvent* event) override;

 private:
    // Runs on the reader: false when the port is being stopped.
    bool HandOver(const TDeviceEvent& event);

    TSerialDevice& m_device;
    THandler m_handler;
    std::mutex m_mutex;
    std::condition_variable m_handled;
    TDeviceEvent m_pending;
    bool m_waiting = false;  // an event is posted and not yet handled
    bool m_stopping = false;
};

}  // namespace korvane::serial
