#include "workbench/ui/log_pane.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>

#include "workbench/ui/editor_fonts.h"
#include "workbench/ui/log_links.h"

namespace korvane::workbench {

namespace {

constexpr int kLogFontPixels = 12;
const QColor kErrorText(200, 0, 0);
const QColor kPassText(0, 128, 0);

QColor LineColour(const QTextBlock& block) {
    const std::string line = block.text().toLatin1().toStdString();
    if (IsErrorLogLine(line)) return kErrorText;
    if (CheckLineOutcome(line) == TCheckOutcome::Pass) return kPassText;
    return {};
}

bool ShownIn(const QTextBlock& block, const QColor& colour) {
    if (!block.isValid() || block.text().isEmpty()) return false;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::Right);
    return cursor.charFormat().foreground().color() == colour;
}

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
    const int firstNewBlock = m_items == 0 ? 0 : document()->blockCount();
    appendPlainText(text);
    ++m_items;
    // Colour every shown line of the item that is an error or a check on its own.
    for (QTextBlock block = document()->findBlockByNumber(firstNewBlock); block.isValid();
         block = block.next()) {
        const QColor colour = LineColour(block);
        if (!colour.isValid()) continue;
        QTextCursor cursor(block);
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat format;
        format.setForeground(colour);
        cursor.mergeCharFormat(format);
    }
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

bool TLogPane::LineShownAsError(int line) const {
    return ShownIn(document()->findBlockByNumber(line), kErrorText);
}

bool TLogPane::LineShownAsPass(int line) const {
    return ShownIn(document()->findBlockByNumber(line), kPassText);
}

std::string TLogPane::TextBytes() const {
    if (m_items == 0) return {};
    return toPlainText().toLatin1().toStdString() + '\n';
}

QSize TLogPane::sizeHint() const {
    return {QPlainTextEdit::sizeHint().width(), m_preferredHeight};
}

void TLogPane::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (m_items == 0) return;
    emit LineActivated(cursorForPosition(event->position().toPoint()).block().text());
}

QMenu* TLogPane::ContextMenu(const QPoint& at) {
    QMenu* menu = createStandardContextMenu(at);
    menu->addSeparator();
    QAction* clearItem = menu->addAction(QStringLiteral("Clear"), this, &TLogPane::ClearItems);
    clearItem->setObjectName(QStringLiteral("LogClear"));
    clearItem->setEnabled(m_items > 0);
    QAction* saveItem = menu->addAction(QStringLiteral("Save as..."), this, &TLogPane::SaveRequested);
    saveItem->setObjectName(QStringLiteral("LogSaveAs"));
    saveItem->setEnabled(m_items > 0);
    return menu;
}

void TLogPane::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = ContextMenu(event->pos());
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

}  // namespace korvane::workbench
