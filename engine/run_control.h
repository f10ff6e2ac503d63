#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/check_blocks.h"
#include "engine/dispatch.h"
#include "engine/engine_host.h"
#include "engine/execute.h"
#include "engine/program_state.h"
#include "engine/statement_failures.h"

namespace korvane::engine {

// Which of Run, Stop and Pause (buttons and menu items) are enabled, and whether the file
// actions are.
enum class TRunButtons {
    Idle,      // Run and the file actions enabled; Stop and Pause disabled
    Running,   // Stop and Pause enabled; Run and the file actions disabled
    Paused,    // Run and Stop enabled (Run menu item too); Pause disabled
};

// What Run, Stop and Pause need from the window around them. The workbench wires its
// buttons here; the headless runner and the tests use what they need.
class TRunHost {
public:
    virtual ~TRunHost() = default;
    virtual void SetButtons(TRunButtons /*state*/) {}
    virtual void SetEditorReadOnly(bool /*readOnly*/) {}
    virtual void ClearRackOpen() {}
    virtual void EmptyServerBuffer() {}
    // Closes the TCP server's client, the server and the client connection.
    virtual void CloseConnections() {}
    virtual void ShowMainWindow() {}
    virtual void ClearLineMark() {}
    // Last look at the run before its interpreter goes (the runner writes --vars here).
    virtual void RunEnding(const TExecute& /*run*/) {}
    // A fatal error ended the run, or the block check refused it; the message as logged.
    virtual void RunFailed(std::string_view /*message*/) {}
};

enum class TRunOutcome { Finished, FatalError, Refused, AlreadyRunning };

// Run / Stop / Pause: starts one run at a time over the editor's lines, writes the start,
// pause, resume, fatal-error and finish lines, and performs the end-of-run steps.
class TRunControl {
public:
    TRunControl(TEngineHost& host, TRunHost& runHost, TProgramState& state,
                const TDispatch& dispatch);

    // Starts a run when none is active (returning when it ends); during a run it resumes a
    // paused run and releases a run waiting for a step.
    TRunOutcome Run(std::vector<std::string> editorLines);
    void Stop();
    void Pause();
    bool Active() const { return m_run != nullptr; }
    TExecute* Current() { return m_run.get(); }
    // The failed statements of the current or last run; cleared when a run starts.
    const TStatementFailures& Failures() const { return m_failures; }
    // The last block check; its report is empty when the blocks paired up.
    const TBlockCheck& BlockCheck() const { return m_blockCheck; }

private:
    TRunOutcome StartRun(std::vector<std::string> editorLines);
    void Continue();
    void EndRun();
    void AppendTimed(std::string_view message);
    void ReportFatal(std::string_view message);

    TEngineHost& m_host;
    TRunHost& m_runHost;
    TProgramState& m_state;
    const TDispatch& m_dispatch;
    std::unique_ptr<TExecute> m_run;
    TStatementFailures m_failures;
    TBlockCheck m_blockCheck;
};

}  // namespace korvane::engine
