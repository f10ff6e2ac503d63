#include "workbench/ui/signal_watch.h"

#include <cerrno>
#include <csignal>

#include <QSocketNotifier>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace korvane::workbench {

namespace {

constexpr int kWatchedSignals[] = {SIGTERM, SIGINT, SIGHUP};
// The handler's end and the GUI thread's end of a socket pair.
int g_pair[2] = {-1, -1};

void OnSignal(int number) {
    const int savedErrno = errno;
    const char byte = static_cast<char>(number);
    // Nothing else is safe in a handler; a full pipe already holds a wake-up.
    [[maybe_unused]] const ssize_t written = ::write(g_pair[0], &byte, 1);
    errno = savedErrno;
}

}  // namespace

TSignalWatch::TSignalWatch(QObject* parent) : QObject(parent) {
    if (g_pair[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_pair) != 0) {
        return;
    }
    m_notifier = new QSocketNotifier(g_pair[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TSignalWatch::ReadPending);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int number : kWatchedSignals) sigaction(number, &action, nullptr);
}

TSignalWatch::~TSignalWatch() {
    if (m_notifier == nullptr) return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int number : kWatchedSignals) sigaction(number, &action, nullptr);
    ::close(g_pair[0]);
    ::close(g_pair[1]);
    g_pair[0] = g_pair[1] = -1;
}

void TSignalWatch::ReadPending() {
    char bytes[16];
    ssize_t count;
    while ((count = ::read(g_pair[1], bytes, sizeof bytes)) > 0 || (count < 0 && errno == EINTR)) {
        for (ssize_t i = 0; i < count; ++i) emit Caught(static_cast<unsigned char>(bytes[i]));
    }
}

}  // namespace korvane::workbench
