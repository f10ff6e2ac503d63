#pragma once

#include <atomic>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>

#include "engine/engine_host.h"
#include "engine/run_control.h"
#include "host/window_actions.h"
#include "racks/ui/rack_window_owner.h"

namespace korvane::net {
class TTcpEndpoints;
}

namespace korvane::tools {

// The headless runner's surroundings: log lines go to standard output as they are appended,
// inputbox reads a line from standard input, the clock may be frozen, and SIGINT/SIGTERM
// stop the run between statements. There is no main window to show or hide.
class TConsoleHost : public engine::TEngineHost,
                     public engine::TRunHost,
                     public host::TWindowActions,
                     public racks::TRackWindowOwner {
 public:
    explicit TConsoleHost(std::optional<engine::TLocalTime> fixedTime);

    void SetStopAction(std::function<void()> stop) { m_stop = std::move(stop); }
    void SetVarsFile(std::string path) { m_varsFile = std::move(path); }
    // The endpoints whose connections the end of a run and Stop close.
    void SetTcpEndpoints(net::TTcpEndpoints* endpoints) { m_tcp = endpoints; }
    // Installs the SIGINT/SIGTERM handlers that request a stop.
    static void InstallSignalHandlers();

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

    // host::TWindowActions
    void ShowMain() override {}
    void HideMain() override {}

    bool VarsWriteFailed() const { return m_varsWriteFailed; }

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
    racks::TRackPosition RackPosition() const override { return m_rackPosition; }
    void SetRackPosition(racks::TRackPosition position) override { m_rackPosition = position; }
    void ShowAbout() override {}
    std::filesystem::path ExecutableFolder() const override;

 private:
    std::optional<engine::TLocalTime> m_fixedTime;
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
