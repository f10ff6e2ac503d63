#include "serial/comm_thread.h"

#include <QCoreApplication>
#include <QEvent>
#include <utility>

namespace korvane::serial {

namespace {

QEvent::Type DispatchEventType() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

}  // namespace

TCommThread::TCommThread(TSerialDevice& device, THandler handler)
    : m_device(device), m_handler(std::move(handler)) {}

TCommThread::~TCommThread() { Stop(); }

void TCommThread::Stop() {
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_handled.notify_all();
    m_device.Shutdown();
    wait();
    QCoreApplication::removePostedEvents(this, DispatchEventType());
}

void TCommThread::run() {
    for (;;) {
        const TDeviceEvent event = m_device.WaitEvent();
        if (event.closed || !HandOver(event)) return;
    }
}

bool TCommThread::HandOver(const TDeviceEvent& event) {
    std::unique_lock lock(m_mutex);
    if (m_stopping) return false;
    m_pending = event;
    m_waiting = true;
    QCoreApplication::postEvent(this, new QEvent(DispatchEventType()));
    m_handled.wait(lock, [this] { return !m_waiting || m_stopping; });
    return !m_stopping;
}

void TCommThread::customEvent(QEvent* event) {
    if (event->type() != DispatchEventType()) {
        QThread::customEvent(event);
        return;
    }
    TDeviceEvent pending;
    {
        std::lock_guard lock(m_mutex);
        if (!m_waiting || m_stopping) return;
        pending = m_pending;
    }
    m_handler(pending);
    {
        std::lock_guard lock(m_mutex);
        m_waiting = false;
    }
    m_handled.notify_all();
}

}  // namespace korvane::serial
