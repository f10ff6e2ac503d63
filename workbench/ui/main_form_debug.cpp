// The main window's debugger: breakpoints, stepping, Run to cursor and the docked Watch window.
#include <QDockWidget>
#include <QMenu>

#include "engine/execute.h"
#include "engine/variable_store.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/script_editor.h"
#include "workbench/ui/watch_window.h"
#include "workbench/ui/window_placement.h"
#include "workbench/ui/workbench_context.h"

namespace korvane::workbench {

void TMainForm::BuildDebugger() {
    m_watchDock = new QDockWidget(QStringLiteral("Watch"), this);
    m_watchDock->setObjectName(QStringLiteral("WatchDock"));
    m_watchDock->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea |
                                 Qt::BottomDockWidgetArea);
    m_watchDock->setWidget(&m_watch);
    addDockWidget(Qt::RightDockWidgetArea, m_watchDock);
    m_watchDock->hide();
    // Where the user leaves the floating window is where debugon shows it next time.
    connect(m_watchDock, &QDockWidget::visibilityChanged, this, [this](bool visible) {
        if (!visible && m_watchDock->isFloating()) {
            m_context.settings.debugPosition = {m_watchDock->x(), m_watchDock->y()};
        }
    });

    m_breakpoint1 = MakeAction("Breakpoint1", QStringLiteral("Toggle breakpoint"));
    m_breakpoint1->setShortcut(QKeySequence(Qt::Key_F9));
    connect(m_breakpoint1, &QAction::triggered, this, &TMainForm::ToggleBreakpoint);
    m_runToCursor1 = MakeAction("RunToCursor1", QStringLiteral("Run to cursor"));
    m_runToCursor1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F10));
    connect(m_runToCursor1, &QAction::triggered, this, &TMainForm::RunToCursor);
    m_comment1 = MakeAction("Comment1", QStringLiteral("Comment / uncomment"));
    m_comment1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Slash));
    connect(m_comment1, &QAction::triggered, m_editor, &TScriptEditor::ToggleComment);
    m_editingItems.push_back(m_comment1);

    connect(m_editor, &TScriptEditor::BreakpointsChanged, this, [this] {
        m_host.Stops().SetBreakpoints(m_editor->Breakpoints());
        if (!Modified()) StoreBreakpoints();
    });
    connect(m_editor, &TScriptEditor::FileDropped, this, &TMainForm::OpenFile);
}

void TMainForm::ShowWatch(bool visible) {
    if (!visible) {
        m_watchDock->hide();
        return;
    }
    if (m_watchDock->isFloating()) {
        const TPosition& at = m_context.settings.debugPosition;
        m_watchDock->move(PlaceHelperWindow(QPoint(at.x, at.y), frameGeometry(),
                                            m_watchDock->size(), AvailableScreens()));
    }
    m_watchDock->show();
    m_watchDock->raise();
}

void TMainForm::ToggleBreakpoint() {
    int line = 0;
    int index = 0;
    m_editor->getCursorPosition(&line, &index);
    m_editor->ToggleBreakpoint(line);
}

void TMainForm::StepStatement() {
    if (m_phase == TRunPhase::Stepping) {
        RunScript();
        return;
    }
    if (m_phase == TRunPhase::Running) return;
    m_host.Stops().StopAtNextStatement();
    RunScript();
}

void TMainForm::RunToCursor() {
    if (m_phase == TRunPhase::Running) return;
    const int line = m_editor->CaretStatementLine();
    if (line < 0) return;
    m_host.Stops().StopOnceAt(line);
    RunScript();
}

void TMainForm::PauseAtStatement() {
    engine::TExecute* run = m_runControl.Current();
    if (run == nullptr) return;
    m_runControl.Pause();
    m_watch.ShowVariables(run->Variables().Lines());
    ShowWatch(true);
}

void TMainForm::RestoreBreakpoints() {
    const auto& kept = m_context.settings.breakpoints;
    const auto entry = std::find_if(kept.begin(), kept.end(),
                                    [this](const auto& file) { return file.first == m_currentFile; });
    m_editor->SetBreakpoints(entry == kept.end() ? std::vector<int>{} : entry->second);
}

void TMainForm::StoreBreakpoints() {
    if (m_currentFile.empty()) return;
    KeepBreakpoints(m_context.settings, m_currentFile, m_editor->Breakpoints());
}

}  // namespace korvane::workbench
