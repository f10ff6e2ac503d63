#include "workbench/ui/status_line.h"

#include <QLabel>

namespace korvane::workbench {

namespace {

QLabel* MakeField(QWidget* parent, const char* name) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setContentsMargins(6, 0, 6, 0);
    return label;
}

}  // namespace

QString RunStateName(TRunState state) {
    switch (state) {
        case TRunState::Idle:
            return QStringLiteral("Idle");
        case TRunState::Running:
            return QStringLiteral("Running");
        case TRunState::Paused:
            return QStringLiteral("Paused");
        case TRunState::Stepping:
            return QStringLiteral("Stepping");
        case TRunState::Finished:
            return QStringLiteral("Finished");
        case TRunState::Stopped:
            return QStringLiteral("Stopped");
        case TRunState::Refused:
            return QStringLiteral("Refused");
    }
    return {};
}

TStatusLine::TStatusLine(QWidget* parent)
    : QStatusBar(parent),
      m_state(MakeField(this, "RunState")),
      m_runLine(MakeField(this, "RunLine")),
      m_checks(MakeField(this, "Checks")),
      m_problems(MakeField(this, "Problems")),
      m_caret(MakeField(this, "Caret")),
      m_path(MakeField(this, "FilePath")) {
    setObjectName(QStringLiteral("StatusBar"));
    setSizeGripEnabled(false);
    // The path takes what room is left and gives way first.
    m_path->setMinimumWidth(0);
    m_path->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    addWidget(m_state);
    addWidget(m_runLine);
    addWidget(m_checks);
    addWidget(m_problems);
    addWidget(m_path, 1);
    addPermanentWidget(m_caret);
    SetState(TRunState::Idle);
    SetCaret(0, 0);
}

void TStatusLine::SetState(TRunState state) { m_state->setText(RunStateName(state)); }

void TStatusLine::SetRunLine(int line) {
    m_runLine->setText(line < 0 ? QString() : QStringLiteral("Line %1").arg(line + 1));
}

void TStatusLine::SetCaret(int line, int column) {
    m_caret->setText(QStringLiteral("Ln %1, Col %2").arg(line + 1).arg(column + 1));
}

void TStatusLine::SetPath(const QString& path) {
    m_path->setText(path);
    m_path->setToolTip(path);
}

void TStatusLine::SetChecks(int passed, int failed) {
    m_checks->setText(passed + failed == 0
                          ? QString()
                          : QStringLiteral("checks: %1 passed, %2 failed").arg(passed).arg(failed));
}
void TStatusLine::SetProblems(const QString& text) { m_problems->setText(text); }

QString TStatusLine::StateText() const { return m_state->text(); }
QString TStatusLine::RunLineText() const { return m_runLine->text(); }
QString TStatusLine::CaretText() const { return m_caret->text(); }
QString TStatusLine::ProblemsText() const { return m_problems->text(); }
QString TStatusLine::PathText() const { return m_path->text(); }
QString TStatusLine::ChecksText() const { return m_checks->text(); }

}  // namespace korvane::workbench
