#include "workbench/ui/failure_marks.h"

#include <QHelpEvent>
#include <QToolTip>
#include <Qsci/qsciscintilla.h>

namespace korvane::workbench {

namespace {

// Amber reads as "look here" beside the red of a fatal error, on light and dark gutters.
const QColor kMarkFill(235, 160, 40);
const QColor kMarkEdge(150, 95, 0);
constexpr int kMarkerMargin = 1;

}  // namespace

TFailureMarks::TFailureMarks(QsciScintilla& editor) : QObject(&editor), m_editor(editor) {
    m_editor.markerDefine(QsciScintilla::SmallRectangle, kMarker);
    m_editor.setMarkerBackgroundColor(kMarkFill, kMarker);
    m_editor.setMarkerForegroundColor(kMarkEdge, kMarker);
    m_editor.setMarginMarkerMask(kMarkerMargin,
                                 m_editor.marginMarkerMask(kMarkerMargin) | (1 << kMarker));
    m_editor.viewport()->installEventFilter(this);
}

void TFailureMarks::Show(const std::map<int, std::string>& lines) {
    Clear();
    for (const auto& [line, message] : lines) Add(line, message);
}

void TFailureMarks::Add(int line, const std::string& message) {
    if (line < 0 || line >= m_editor.lines()) return;
    const int handle = m_editor.markerAdd(line, kMarker);
    if (handle < 0) return;
    m_messages[handle] =
        QString::fromLatin1(message.data(), static_cast<qsizetype>(message.size()));
}

void TFailureMarks::Clear() {
    m_editor.markerDeleteAll(kMarker);
    m_messages.clear();
}

QString TFailureMarks::MessageAt(int line) const {
    for (const auto& [handle, message] : m_messages) {
        if (m_editor.markerLine(handle) == line) return message;
    }
    return {};
}

bool TFailureMarks::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ToolTip || m_messages.empty()) return false;
    const auto* help = static_cast<QHelpEvent*>(event);
    int margins = 0;
    for (int margin = 0; margin <= kMarkerMargin; ++margin) margins += m_editor.marginWidth(margin);
    if (help->pos().x() >= margins) return false;
    const QString message = MessageAt(m_editor.lineAt(QPoint(margins, help->pos().y())));
    if (message.isEmpty()) return false;
    QToolTip::showText(help->globalPos(), message, static_cast<QWidget*>(watched));
    return true;
}

}  // namespace korvane::workbench
