#include "workbench/ui/workbench_host.h"

#include <ctime>
#include <thread>

#include <QCoreApplication>

#include "engine/execute.h"
#include "engine/variable_store.h"
#include "workbench/ui/log_pane.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/script_editor.h"
#include "workbench/ui/status_line.h"
#include "workbench/ui/user_dialogs.h"
#include "workbench/ui/watch_window.h"
#include "workbench/ui/workbench_context.h"

namespace korvane::workbench {

namespace {

// Pumping costs about a microsecond and a half: every 50 us keeps scripts fast while clicks
// and arriving data are still seen well within a millisecond.
constexpr std::chrono::microseconds kPumpInterval(50);
constexpr std::chrono::milliseconds kIdleWait(2);

}  // namespace

engine::TLocalTime LocalTimeNow() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

TWorkbenchHost::TWorkbenchHost(TMainForm& form, TWorkbenchContext& context)
    : m_form(form), m_context(context) {}

void TWorkbenchHost::ProcessEvents() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void TWorkbenchHost::AppendLog(std::string_view line) { m_form.Log().AppendItem(line); }

int TWorkbenchHost::LogLineCount() const { return m_form.Log().ItemCount(); }

void TWorkbenchHost::ClearLog() { m_form.Log().ClearItems(); }

bool TWorkbenchHost::Standalone() const { return m_context.standalone; }

engine::TLocalTime TWorkbenchHost::Now() const {
    return m_context.clock ? m_context.clock() : LocalTimeNow();
}

std::chrono::microseconds TWorkbenchHost::PumpInterval() const { return kPumpInterval; }

void TWorkbenchHost::IdleWait() { std::this_thread::sleep_for(kIdleWait); }

void TWorkbenchHost::EnterStepWait(const engine::TVariableStore& variables) {
    m_form.SetRunPhase(TRunPhase::Stepping);
    m_form.Watch().ShowVariables(variables.Lines());
}

void TWorkbenchHost::ShowWatch(bool visible) { m_form.ShowWatch(visible); }

void TWorkbenchHost::MarkLine(int line) { m_form.Editor().MarkCurrentLine(line); }

void TWorkbenchHost::BeforeStatement(int line) {
    if (m_stops.ShouldStop(line)) m_form.PauseAtStatement();
}

std::string TWorkbenchHost::InputBox(std::string_view caption, std::string_view prompt,
                                     std::string_view preset) {
    return m_context.dialogs->InputBox(&m_form, caption, prompt, preset);
}

engine::TControlBinding* TWorkbenchHost::Binding() { return m_context.modules.binding; }

void TWorkbenchHost::RecordCheck(const engine::TCheckRecord& check) {
    ++(check.passed ? m_checksPassed : m_checksFailed);
    m_form.Status().SetChecks(m_checksPassed, m_checksFailed);
}

void TWorkbenchHost::SetButtons(engine::TRunButtons state) {
    if (state == engine::TRunButtons::Running && !m_running) {
        m_checksPassed = 0;
        m_checksFailed = 0;
        m_lastFailure.clear();
        m_form.Status().SetChecks(0, 0);
    }
    m_running = state != engine::TRunButtons::Idle;
    m_form.SetRunPhase(PhaseFor(state));
}

void TWorkbenchHost::SetEditorReadOnly(bool readOnly) { m_form.Editor().setReadOnly(readOnly); }

void TWorkbenchHost::ClearRackOpen() { m_context.rackOpen = false; }

void TWorkbenchHost::EmptyServerBuffer() {
    if (m_context.modules.emptyServerBuffer) m_context.modules.emptyServerBuffer();
}

void TWorkbenchHost::CloseConnections() {
    if (m_context.modules.closeConnections) m_context.modules.closeConnections();
}

void TWorkbenchHost::ShowMainWindow() { m_form.ShowAfterRun(); }

void TWorkbenchHost::ClearLineMark() { m_form.Editor().MarkCurrentLine(-1); }

void TWorkbenchHost::RunEnding(const engine::TExecute& run) { m_form.NoteLastRunLine(run.RunningLine()); }

void TWorkbenchHost::RunFailed(std::string_view message) { m_lastFailure = message; }

}  // namespace korvane::workbench
