#include "engine/run_control.h"

#include <exception>
#include <new>

#include "engine/errors.h"

namespace korvane::engine {

TRunControl::TRunControl(TEngineHost& host, TRunHost& runHost, TProgramState& state,
                         const TDispatch& dispatch)
    : m_host(host), m_runHost(runHost), m_state(state), m_dispatch(dispatch) {}

TRunOutcome TRunControl::Run(std::vector<std::string> editorLines) {
    if (m_run) {
        Continue();
        return TRunOutcome::AlreadyRunning;
    }
    return StartRun(std::move(editorLines));
}

void TRunControl::Continue() {
    if (m_run->GetState() == "Paused") {
        m_run->Resume();
        m_runHost.SetButtons(TRunButtons::Running);
        AppendTimed("Script resumed");
    }
    if (m_run->WaitingForStep()) {
        m_run->ReleaseStep();
        m_runHost.SetButtons(TRunButtons::Running);
    }
}

TRunOutcome TRunControl::StartRun(std::vector<std::string> editorLines) {
    m_host.ClearLog();
    m_failures.Clear();
    m_blockCheck = CheckBlockLines(editorLines);
    if (!m_blockCheck.report.empty()) {
        m_host.AppendLog(m_blockCheck.report);
        m_runHost.RunFailed(m_blockCheck.report);
        return TRunOutcome::Refused;
    }
    m_runHost.ClearRackOpen();
    m_run = std::make_unique<TExecute>(m_host, m_state, m_dispatch);
    m_run->RecordFailures(&m_failures);
    m_runHost.SetButtons(TRunButtons::Running);
    m_runHost.EmptyServerBuffer();
    AppendTimed("Script started");
    m_runHost.SetEditorReadOnly(true);
    TRunOutcome outcome = TRunOutcome::Finished;
    try {
        m_run->RunProgram(std::move(editorLines));
        if (!m_host.Standalone()) m_runHost.ShowMainWindow();
    } catch (const EFatalError& error) {
        ReportFatal(error.what());
        outcome = TRunOutcome::FatalError;
    } catch (const std::bad_alloc&) {
        // Memory ran out below the script data bound: say so, not the allocator's own word.
        ReportFatal("Out of memory");
        outcome = TRunOutcome::FatalError;
    } catch (const std::exception& error) {
        // No bug in a command may take the program down: it ends the run like any fatal error.
        ReportFatal(error.what());
        outcome = TRunOutcome::FatalError;
    }
    EndRun();
    return outcome;
}

void TRunControl::EndRun() {
    m_runHost.RunEnding(*m_run);
    m_run.reset();
    m_state.tokens.Clear();
    m_runHost.ClearLineMark();
    m_runHost.ClearRackOpen();
    m_runHost.SetButtons(TRunButtons::Idle);
    m_runHost.CloseConnections();
    m_runHost.EmptyServerBuffer();
    AppendTimed("Script finished");
    m_runHost.SetEditorReadOnly(false);
}

void TRunControl::Stop() {
    if (m_run) {
        m_run->Stop();
        m_run->Resume();
    }
    m_runHost.ClearRackOpen();
    m_runHost.CloseConnections();
    m_runHost.SetButtons(TRunButtons::Idle);
}

void TRunControl::Pause() {
    if (m_run) m_run->Pause();
    AppendTimed("Script paused");
    m_runHost.SetButtons(TRunButtons::Paused);
}

void TRunControl::AppendTimed(std::string_view message) {
    if (m_host.Standalone()) return;
    m_host.MakeRoomInLog();
    m_host.AppendLog(FormatTimeOfDay(m_host.Now()) + ": " + std::string(message));
}

void TRunControl::ReportFatal(std::string_view message) {
    m_runHost.RunFailed(message);
    if (m_host.Standalone()) return;
    m_host.MakeRoomInLog();
    m_host.AppendLog(FormatTimeOfDay(m_host.Now()) + " Fatal error: " + std::string(message));
}

}  // namespace korvane::engine
