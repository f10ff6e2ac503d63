#include "workbench/ui/log_highlighter.h"

#include <QPalette>

#include "workbench/ui/log_links.h"

namespace korvane::workbench {

namespace {

constexpr int kHalfLightness = 128;

}  // namespace

bool IsDarkPalette(const QPalette& palette) {
    return palette.color(QPalette::Base).lightness() < kHalfLightness;
}

TLogHighlighter::TLogHighlighter(QTextDocument* document, const QPalette& palette)
    : QSyntaxHighlighter(document) {
    UsePalette(palette);
}

void TLogHighlighter::UsePalette(const QPalette& palette) {
    const bool dark = IsDarkPalette(palette);
    m_error.setForeground(dark ? QColor(255, 120, 110) : QColor(200, 0, 0));
    m_pass.setForeground(dark ? QColor(120, 220, 120) : QColor(0, 120, 0));
    QColor note = palette.color(QPalette::Text);
    note.setAlpha(150);
    m_note.setForeground(note);
    m_note.setFontItalic(true);
    rehighlight();
}

void TLogHighlighter::highlightBlock(const QString& text) {
    if (text.startsWith(QLatin1Char('[')) && text.contains(QLatin1String(" earlier lines removed"))) {
        setFormat(0, static_cast<int>(text.size()), m_note);
        return;
    }
    // Only the start of a line decides its kind; a check's outcome is its last word.
    const QByteArray head = text.left(64).toLatin1();
    const QByteArray tail = text.right(8).toLatin1();
    const auto view = [](const QByteArray& bytes) {
        return std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    };
    const TCheckOutcome check = CheckLineOutcome(view(head), view(tail));
    if (IsErrorLogLine(view(head)) || check == TCheckOutcome::Fail) {
        setFormat(0, static_cast<int>(text.size()), m_error);
    } else if (check == TCheckOutcome::Pass) {
        setFormat(0, static_cast<int>(text.size()), m_pass);
    }
}

}  // namespace korvane::workbench
