#pragma once

#include <string>

#include "engine/engine_host.h"
#include "engine/run_control.h"
#include "workbench/debug_stops.h"

namespace korvane::workbench {

class TMainForm;
struct TWorkbenchContext;

// The engine's and the run control's surroundings in the workbench: log lines go to the log
// pane, events are pumped through the Qt event loop, step mode fills the Watch window, and
// the run control's button states and end-of-run steps reach the main window and modules.
class TWorkbenchHost : public engine::TEngineHost, public engine::TRunHost {
public:
    TWorkbenchHost(TMainForm& form, TWorkbenchContext& context);

    // engine::TEngineHost
    void ProcessEvents() override;
    void AppendLog(std::string_view line) override;
    int LogLineCount() const override;
    void ClearLog() override;
    // The pane keeps every line within its own memory bound.
    void MakeRoomInLog() override {}
    bool Standalone() const override;
    engine::TLocalTime Now() const override;
    std::chrono::microseconds PumpInterval() const override;
    void IdleWait() override;
    void EnterStepWait(const engine::TVariableStore& variables) override;
    void ShowWatch(bool visible) override;
    void MarkLine(int line) override;
    void BeforeStatement(int line) override;
    std::string InputBox(std::string_view caption, std::string_view prompt,
                         std::string_view preset) override;
    engine::TControlBinding* Binding() override;
    void RecordCheck(const engine::TCheckRecord& check) override;

    // engine::TRunHost
    void SetButtons(engine::TRunButtons state) override;
    void SetEditorReadOnly(bool readOnly) override;
    void ClearRackOpen() override;
    void EmptyServerBuffer() override;
    void CloseConnections() override;
    void ShowMainWindow() override;
    void ClearLineMark() override;
    void RunEnding(const engine::TExecute& run) override;
    void RunFailed(std::string_view message) override;

    TDebugStops& Stops() { return m_stops; }
    // Why the last run ended with a fatal error or was refused; empty after a good run.
    const std::string& LastFailure() const { return m_lastFailure; }

private:
    TMainForm& m_form;
    TDebugStops m_stops;
    TWorkbenchContext& m_context;
    // The checks of the current run, for the status bar; a new run starts from none.
    bool m_running = false;
    int m_checksPassed = 0;
    int m_checksFailed = 0;
    std::string m_lastFailure;
};

// The local time of day and date, for log lines and the date functions.
engine::TLocalTime LocalTimeNow();

}  // namespace korvane::workbench
