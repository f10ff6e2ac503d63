#pragma once

#include <QStatusBar>

class QLabel;

namespace korvane::workbench {

// Where a run stands, as the status bar names it.
enum class TRunState { Idle, Running, Paused, Stepping, Finished, Stopped, Refused };

QString RunStateName(TRunState state);

// The main window's status bar: the run state, the line being run, the checks of the run,
// what failed in the last run, the caret's line and column, and the current file's full path.
class TStatusLine : public QStatusBar {
    Q_OBJECT

public:
    explicit TStatusLine(QWidget* parent = nullptr);

    void SetState(TRunState state);
    // `line` counts from 0; -1 shows nothing.
    void SetRunLine(int line);
    void SetCaret(int line, int column);
    // "3 statements failed", a refusal's reason, or nothing.
    void SetProblems(const QString& text);
    void SetPath(const QString& path);
    // "checks: 12 passed, 1 failed"; nothing for a run without checks.
    void SetChecks(int passed, int failed);

    QString StateText() const;
    QString RunLineText() const;
    QString CaretText() const;
    QString ProblemsText() const;
    QString PathText() const;
    QString ChecksText() const;

private:
    QLabel* m_state;
    QLabel* m_runLine;
    QLabel* m_checks;
    QLabel* m_problems;
    QLabel* m_caret;
    QLabel* m_path;
};

}  // namespace korvane::workbench
