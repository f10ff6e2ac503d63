#include "workbench/ui/log_pane.h"

#include <QScrollBar>

#include "workbench/ui/editor_fonts.h"

namespace korvane::workbench {

namespace {

constexpr int kLogFontPixels = 12;

}  // namespace

TLogPane::TLogPane(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("Log"));
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(ScriptFont(kLogFontPixels));
    setFrameShape(QFrame::NoFrame);
    QPalette shade = palette();
    shade.setColor(QPalette::Base, QColor(248, 249, 251));
    setPalette(shade);
}

void TLogPane::AppendItem(std::string_view line) {
    QString text = QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    appendPlainText(text);
    ++m_items;
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void TLogPane::ClearItems() {
    clear();
    m_items = 0;
}

QStringList TLogPane::Lines() const {
    if (m_items == 0) return {};
    return toPlainText().split(QLatin1Char('\n'));
}

QSize TLogPane::sizeHint() const {
    return {QPlainTextEdit::sizeHint().width(), m_preferredHeight};
}

}  // namespace korvane::workbench
