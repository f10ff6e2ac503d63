#include "tools/console_host.h"

#include <QCoreApplication>
#include <sys/time.h>
#include <unistd.h>

#include <cmath>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <iostream>
#include <thread>

#include "engine/execute.h"
#include "net/tcp_endpoints.h"
#include "tools/bounded_file.h"

namespace korvane::tools {

namespace {

std::atomic<bool> g_stopSignal{false};
std::atomic<bool> g_interrupted{false};
bool g_outputGone = false;

std::atomic<bool> g_timeUp{false};

void OnStopSignal(int) {
    g_stopSignal.store(true);
    g_interrupted.store(true);
}

void OnTimeUp(int) {
    g_timeUp.store(true);
    g_stopSignal.store(true);
}

void ArmTimer(double seconds) {
    itimerval timer{};
    const double whole = std::floor(seconds);
    timer.it_value.tv_sec = static_cast<time_t>(whole);
    timer.it_value.tv_usec = static_cast<suseconds_t>((seconds - whole) * 1e6);
    if (timer.it_value.tv_sec == 0 && timer.it_value.tv_usec == 0) timer.it_value.tv_usec = 1;
    ::setitimer(ITIMER_REAL, &timer, nullptr);
}

// The log kept for the reports stops growing here.
constexpr size_t kKeptLogBytes = size_t{4} << 20;

bool WriteAll(const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(STDOUT_FILENO, bytes.data() + done, bytes.size() - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

}  // namespace

void PrintLine(std::string_view line) {
    if (g_outputGone) return;
    std::fflush(stdout);
    std::string bytes(line);
    bytes += '\n';
    if (!WriteAll(bytes)) g_outputGone = true;
}

TConsoleHost::TConsoleHost(std::optional<engine::TLocalTime> fixedTime, std::string station)
    : m_fixedTime(fixedTime), m_station(std::move(station)) {}

const std::atomic<bool>& TConsoleHost::Interrupted() { return g_interrupted; }

void TConsoleHost::SetTimeout(std::chrono::duration<double> limit) {
    struct sigaction action {};
    action.sa_handler = OnTimeUp;
    sigemptyset(&action.sa_mask);
    sigaction(SIGALRM, &action, nullptr);
    g_timeUp.store(false);
    ArmTimer(limit.count());
    m_timerArmed = true;
}

bool TConsoleHost::TimedOut() const { return m_timedOut || (m_timerArmed && g_timeUp.load()); }

TConsoleHost::~TConsoleHost() {
    if (!m_timerArmed) return;
    const itimerval off{};
    ::setitimer(ITIMER_REAL, &off, nullptr);
    // A time-out that came after the run ended must not stop the next script.
    if (g_timeUp.exchange(false) && !g_interrupted.load()) g_stopSignal.store(false);
}

void TConsoleHost::InstallSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void TConsoleHost::ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (g_timeUp.exchange(false)) m_timedOut = true;
    if (g_stopSignal.exchange(false) && m_stop) m_stop();
}

void TConsoleHost::AppendLog(std::string_view line) {
    PrintLine(m_station.empty() ? std::string(line) : "[" + m_station + "] " + std::string(line));
    if (m_log.size() < kKeptLogBytes) {
        m_log.append(line.substr(0, kKeptLogBytes - m_log.size()));
        m_log += m_log.size() < kKeptLogBytes ? "\n" : "\n... (log shortened)\n";
    }
    ++m_logLines;
}

void TConsoleHost::RecordCheck(const engine::TCheckRecord& check) {
    const auto now = std::chrono::steady_clock::now();
    m_checks.push_back({check, std::chrono::duration<double>(now - m_lastCheck).count()});
    m_lastCheck = now;
}

engine::TLocalTime TConsoleHost::Now() const {
    if (m_fixedTime) return *m_fixedTime;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

// Pumping costs about a microsecond and a half; every 50 us keeps a script fast while
// events, Stop and arriving data are still seen well within a millisecond. (The interval is
// also the floor of a reply's round trip through a polling script.)
std::chrono::microseconds TConsoleHost::PumpInterval() const {
    return std::chrono::microseconds(50);
}

void TConsoleHost::IdleWait() { std::this_thread::sleep_for(std::chrono::milliseconds(1)); }

std::string TConsoleHost::InputBox(std::string_view, std::string_view, std::string_view preset) {
    // A stop signal not yet seen by the engine would otherwise leave the read waiting for a
    // line; one that comes during the read interrupts it.
    if (g_stopSignal.load()) return std::string(preset);
    std::string line;
    if (!std::getline(std::cin, line)) return std::string(preset);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

void TConsoleHost::RunEnding(const engine::TExecute& run) {
    if (m_varsFile.empty()) return;
    std::string bytes;
    for (const std::string& entry : run.Variables().Lines()) bytes += entry + '\n';
    const std::string problem = WriteWholeFile(m_varsFile, bytes);
    if (problem.empty()) return;
    m_varsWriteFailed = true;
    std::fprintf(stderr, "korvane-run: cannot write the variables to %s: %s\n", m_varsFile.c_str(),
                 problem.c_str());
}

void TConsoleHost::EmptyServerBuffer() {
    if (m_tcp) m_tcp->EmptyServerBuffer();
}

void TConsoleHost::CloseConnections() {
    if (m_tcp) m_tcp->CloseAll();
}

std::filesystem::path TConsoleHost::ExecutableFolder() const {
    return QCoreApplication::applicationDirPath().toStdString();
}

}  // namespace korvane::tools
