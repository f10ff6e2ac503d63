#include "workbench/ui/log_pane.h"

#include <algorithm>

#include <QContextMenuEvent>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTimer>

#include "workbench/ui/editor_fonts.h"
#include "workbench/ui/log_highlighter.h"

namespace korvane::workbench {

namespace {

constexpr int kLogFontPixels = 12;
// Lines appended meanwhile reach the screen together, about this often, and at most this
// many at a time, so one batch never holds the window up for long.
constexpr int kBatchMs = 40;
constexpr std::size_t kBatchLines = 2000;

QString Shown(std::string_view line) {
    const std::string shown = ShownLine(line);
    return QString::fromLatin1(shown.data(), static_cast<qsizetype>(shown.size()));
}

}  // namespace

TLogPane::TLogPane(QWidget* parent, TLogBounds bounds)
    : QPlainTextEdit(parent),
      m_store(bounds),
      m_highlighter(new TLogHighlighter(document(), palette())),
      m_batch(new QTimer(this)) {
    setObjectName(QStringLiteral("Log"));
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setFont(ScriptFont(kLogFontPixels));
    setFrameShape(QFrame::NoFrame);
    m_batch->setSingleShot(true);
    m_batch->setInterval(kBatchMs);
    connect(m_batch, &QTimer::timeout, this, [this] { ShowPending(kBatchLines); });
}

TLogPane::~TLogPane() = default;

void TLogPane::AppendItem(std::string_view item) {
    ++m_items;
    // CR LF, CR and LF each end a line.
    std::size_t start = 0;
    for (std::size_t i = 0; i <= item.size(); ++i) {
        if (i < item.size() && item[i] != '\r' && item[i] != '\n') continue;
        m_removedUnshown += m_store.Append(item.substr(start, i - start));
        if (i + 1 < item.size() && item[i] == '\r' && item[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (!m_batch->isActive()) m_batch->start();
}

void TLogPane::Flush() { ShowPending(m_store.BodyCount()); }

void TLogPane::ShowPending(std::size_t maxLines) {
    m_batch->stop();
    if (m_removedUnshown > 0) {
        const std::size_t dropped = std::min(m_removedUnshown, m_shownBody);
        DropShownFront(dropped);
        m_shownBody -= dropped;
        m_removedUnshown = 0;
        ShowNote();
    }
    if (m_shownBody == m_store.BodyCount()) return;
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    QString batch;
    const std::size_t end = std::min(m_store.BodyCount(), m_shownBody + maxLines);
    for (std::size_t i = m_shownBody; i < end; ++i) {
        // The document starts with one empty block: the first line goes into it.
        if (i > 0 || m_noteShown) batch += QLatin1Char('\n');
        batch += Shown(m_store.BodyLine(i));
    }
    cursor.setCharFormat(QTextCharFormat());
    cursor.insertText(batch);
    cursor.endEditBlock();
    m_shownBody = end;
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    if (m_shownBody < m_store.BodyCount()) m_batch->start();
}

void TLogPane::DropShownFront(std::size_t count) {
    if (count == 0) return;
    QTextCursor cursor(document());
    if (count >= m_shownBody) {
        // Everything after the note goes, the line break that ends the note too.
        if (m_noteShown) cursor.movePosition(QTextCursor::EndOfBlock);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    } else {
        const int first = m_noteShown ? 1 : 0;
        cursor.setPosition(document()->findBlockByNumber(first).position());
        cursor.setPosition(document()->findBlockByNumber(first + static_cast<int>(count)).position(),
                           QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
}

void TLogPane::ShowNote() {
    const QString note = QString::fromLatin1(m_store.Note().c_str());
    QTextCursor cursor(document());
    cursor.beginEditBlock();
    if (m_noteShown) {
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        cursor.insertText(note);
    } else {
        // Whatever remains on screen follows the note on lines of its own.
        cursor.insertText(m_shownBody > 0 ? note + QLatin1Char('\n') : note);
        m_noteShown = true;
    }
    cursor.endEditBlock();
}

void TLogPane::ClearItems() {
    m_batch->stop();
    clear();
    m_store.Clear();
    m_items = 0;
    m_shownBody = 0;
    m_removedUnshown = 0;
    m_noteShown = false;
}

QStringList TLogPane::Lines() {
    Flush();
    if (m_store.LineCount() == 0) return {};
    return toPlainText().split(QLatin1Char('\n'));
}

bool TLogPane::LineShownIn(int line, const QColor& colour) {
    Flush();
    const QTextBlock block = document()->findBlockByNumber(line);
    if (!block.isValid() || block.text().isEmpty()) return false;
    for (const QTextLayout::FormatRange& range : block.layout()->formats()) {
        if (range.start == 0 && range.format.foreground().color() == colour) return true;
    }
    return false;
}

bool TLogPane::LineShownAsError(int line) { return LineShownIn(line, m_highlighter->ErrorColour()); }

bool TLogPane::LineShownAsPass(int line) { return LineShownIn(line, m_highlighter->PassColour()); }

std::string TLogPane::TextBytes() const { return m_store.Bytes(); }

QSize TLogPane::sizeHint() const {
    return {QPlainTextEdit::sizeHint().width(), m_preferredHeight};
}

void TLogPane::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    if (m_store.LineCount() == 0) return;
    emit LineActivated(cursorForPosition(event->position().toPoint()).block().text());
}

void TLogPane::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange) m_highlighter->UsePalette(palette());
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
