#include "tools/console_host.h"

#include <QCoreApplication>
#include <csignal>
#include <ctime>
#include <fstream>
#include <iostream>
#include <thread>

#include "engine/execute.h"
#include "net/tcp_endpoints.h"

namespace korvane::tools {

namespace {

std::atomic<bool> g_stopSignal{false};

void OnStopSignal(int) { g_stopSignal.store(true); }

}  // namespace

TConsoleHost::TConsoleHost(std::optional<engine::TLocalTime> fixedTime) : m_fixedTime(fixedTime) {}

void TConsoleHost::InstallSignalHandlers() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void TConsoleHost::ProcessEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    if (g_stopSignal.exchange(false) && m_stop) m_stop();
}

void TConsoleHost::AppendLog(std::string_view line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    ++m_logLines;
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
// events, Stop and arriving data are still seen well within a millisecond.
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
    std::ofstream out(m_varsFile, std::ios::binary | std::ios::trunc);
    for (const std::string& entry : run.Variables().Lines()) out << entry << '\n';
    m_varsWriteFailed = !out.good();
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
