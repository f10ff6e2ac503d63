#include "serial/terminal_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QPalette>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextDocument>
#include <cmath>
#include <string>
#include <utility>

#include "serial/terminal_dump.h"

namespace korvane::serial {

namespace {

void SetColor(QWidget& widget, QPalette::ColorRole role, const TLayoutColor& color) {
    if (!color) return;
    QPalette palette = widget.palette();
    palette.setColor(role, QColor(QRgb(*color)));
    widget.setPalette(palette);
}

}  // namespace

TTerminalWindow::TTerminalWindow(QWidget* owner, std::function<void(QPoint)> rememberPosition)
    : QWidget(owner, Qt::Window),
      m_memo(new QPlainTextEdit(this)),
      m_rememberPosition(std::move(rememberPosition)) {
    m_memo->setObjectName("Memo1");
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    ApplyLayout(TTerminalLayout{});
}

void TTerminalWindow::ApplyLayout(const TTerminalLayout& layout) {
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                            Qt::WindowCloseButtonHint;
    if (layout.stayOnTop) flags |= Qt::WindowStaysOnTopHint;
    setWindowFlags(flags);
    setWindowTitle(
        QString::fromLatin1(layout.caption.data(), static_cast<qsizetype>(layout.caption.size())));
    move(layout.left, layout.top);
    resize(layout.clientWidth, layout.clientHeight);
    SetFixedFrame(!layout.sizeable);
    SetColor(*this, QPalette::Window, layout.formColor);

    if (layout.memoFillsClient) {
        m_memo->setGeometry(0, 0, layout.clientWidth, layout.clientHeight);
    } else {
        m_memo->setGeometry(layout.memoLeft, layout.memoTop, layout.memoWidth, layout.memoHeight);
    }
    m_memoFillsClient = layout.memoFillsClient;
    SetColor(*m_memo, QPalette::Base, layout.memoColor);
    SetColor(*m_memo, QPalette::Text, layout.memoFontColor);
    QFont font = m_memo->font();
    if (layout.memoFontPixels > 0) font.setPixelSize(layout.memoFontPixels);
    m_memo->setFont(font);
    m_memo->setVerticalScrollBarPolicy(layout.memoVerticalScrollBar ? Qt::ScrollBarAlwaysOn
                                                                    : Qt::ScrollBarAlwaysOff);
}

void TTerminalWindow::PrepareForPort() {
    m_memo->setReadOnly(true);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    // The hints let font matching fall back to some fixed-pitch face wherever the system's
    // fixed font is missing.
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    const QFont current = m_memo->font();
    if (current.pixelSize() > 0) font.setPixelSize(current.pixelSize());
    m_memo->setFont(font);
}

void TTerminalWindow::AddLine(std::string_view line) {
    if (m_lineCount > kMaxLines) {
        m_memo->clear();
        m_lineCount = 0;
    }
    m_memo->appendPlainText(QString::fromLatin1(line.data(), static_cast<qsizetype>(line.size())));
    ++m_lineCount;
}

void TTerminalWindow::MakeSizeable() { SetFixedFrame(false); }

int TTerminalWindow::DumpWidth(int charsPerLine) const {
    if (!m_memoFillsClient) return 0;
    // Every full line has the same length; a wide letter covers fonts that are not fixed.
    const std::string line =
        DumpLines(kReceivedMark, std::string(static_cast<std::size_t>(charsPerLine), 'W'),
                  charsPerLine)
            .front();
    const int text = m_memo->fontMetrics().horizontalAdvance(QString::fromLatin1(line));
    const int margins = 2 * static_cast<int>(std::ceil(m_memo->document()->documentMargin()));
    int scrollBar = 0;
    if (m_memo->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn) {
        scrollBar = m_memo->verticalScrollBar()->sizeHint().width();
    }
    // One more pixel for the caret at the end of the line.
    return text + margins + 2 * m_memo->frameWidth() + scrollBar + m_memo->cursorWidth();
}

void TTerminalWindow::Dismiss() {
    if (m_rememberPosition) m_rememberPosition(pos());
    hide();
}

void TTerminalWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    Dismiss();
}

void TTerminalWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_memoFillsClient) m_memo->setGeometry(rect());
}

void TTerminalWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_wasShown = true;
}

void TTerminalWindow::SetFixedFrame(bool fixed) {
    if (fixed) {
        setFixedSize(size());
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
}

}  // namespace korvane::serial
