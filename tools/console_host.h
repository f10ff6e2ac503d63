#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/engine_host.h"
#include "engine/run_control.h"
#include "host/window_actions.h"
#include "racks/ui/rack_window_owner.h"
#include "tools/script_run.h"

namespace korvane::net {
class TTcpEndpoints;
}

namespace korvane::tools {

// Writes one line to standard output in one piece, so the lines of parallel station processes
// do not mix. Once standard output is gone (a closed pipe), lines are dropped.
void PrintLine(std::string_view line);

// The headless runner's surroundings: log lines go to standard output as they are appended,
// inputbox reads a line from standard input, the clock may be frozen, and SIGINT/SIGTERM
// stop the run between statements. There is no main window to show or hide. On a station,
// every line printed carries the station's name. It keeps what the reports need: the log,
// the checks with their times and why the run failed.
class TConsoleHost : public engine::TEngineHost,
                     public engine::TRunHost,
                     public host::TWindowActions,
                     public racks::TRackWindowOwner {
 public:
    TConsoleHost(std::optional<engine::TLocalTime> fixedTime, std::string station);

    void SetStopAction(std::function<void()> stop) { m_stop = std::move(stop); }
    void SetVarsFile(std::string path) { m_varsFile = std::move(path); }
    // The endpoints whose connections the end of a run and Stop close.
    void SetTcpEndpoints(net::TTcpEndpoints* endpoints) { m_tcp = endpoints; }
    // Installs the SIGINT/SIGTERM handlers that request a stop.
    static void InstallSignalHandlers();
    // True once SIGINT or SIGTERM came; it stays true, so no later script starts.
    static const std::atomic<bool>& Interrupted();
    // At this much time after the call the run stops as a stop signal stops it, so waits
    // that a signal ends (an inputbox reading standard input) end too. Until the host goes.
    void SetTimeout(std::chrono::duration<double> limit);
    bool TimedOut() const;
    ~TConsoleHost() override;
    TConsoleHost(const TConsoleHost&) = delete;
    TConsoleHost& operator=(const TConsoleHost&) = delete;
    // The run starts now: the first check's time counts from here.
    void StartClock() { m_lastCheck = std::chrono::steady_clock::now(); }

    // engine::TEngineHost
    void ProcessEvents() override;
    void AppendLog(std::string_view line) override;
    int LogLineCount() const override { return m_logLines; }
    void ClearLog() override { m_logLines = 0; }
    bool Standalone() const override { return false; }
    engine::TLocalTime Now() const override;
    std::chrono::microseconds PumpInterval() const override;
    void IdleWait() override;
    std::string InputBox(std::string_view caption, std::string_view prompt,
                         std::string_view preset) override;

    // engine::TRunHost
    void RunEnding(const engine::TExecute& run) override;
    void EmptyServerBuffer() override;
    void CloseConnections() override;
    void RunFailed(std::string_view message) override { m_failure = std::string(message); }
    void RecordCheck(const engine::TCheckRecord& check) override;

    // host::TWindowActions
    void ShowMain() override {}
    void HideMain() override {}

    bool VarsWriteFailed() const { return m_varsWriteFailed; }
    const std::string& Failure() const { return m_failure; }
    const std::vector<TTimedCheck>& Checks() const { return m_checks; }
    // The run's log lines, each ending in '\n', shortened at a bound.
    const std::string& Log() const { return m_log; }

    // The rack window's binding, which assignments and operands try first.
    void SetRackBinding(engine::TControlBinding* binding) { m_rackBinding = binding; }
    void SetRunActive(bool active) { m_runActive = active; }
    engine::TControlBinding* Binding() override { return m_rackBinding; }

    // racks::TRackWindowOwner: no main window (so no use for the rack-open flag) and no
    // settings file; the rack position is remembered for the run only.
    bool RunActive() const override { return m_runActive; }
    void SetRackOpen() override {}
    void ShowMainWindow() override {}
    void StopRun() override {
        if (m_stop) m_stop();
    }
    racks::TRackPosition RackPosition(QSize) const override { return m_rackPosition; }
    void SetRackPosition(racks::TRackPosition position) override { m_rackPosition = position; }
    void ShowAbout() override {}
    std::filesystem::path ExecutableFolder() const override;

 private:
    std::optional<engine::TLocalTime> m_fixedTime;
    std::string m_station;
    std::string m_log;
    std::vector<TTimedCheck> m_checks;
    std::chrono::steady_clock::time_point m_lastCheck = std::chrono::steady_clock::now();
    bool m_timerArmed = false;
    bool m_timedOut = false;
    std::string m_failure;
    std::function<void()> m_stop;
    std::string m_varsFile;
    net::TTcpEndpoints* m_tcp = nullptr;
    int m_logLines = 0;
    bool m_varsWriteFailed = false;
    engine::TControlBinding* m_rackBinding = nullptr;
    bool m_runActive = false;
    racks::TRackPosition m_rackPosition{};
};

}  // namespace korvane::tools
