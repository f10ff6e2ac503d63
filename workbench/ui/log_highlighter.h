#pragma once

#include <QSyntaxHighlighter>

namespace korvane::workbench {

// Colours each log line by its own kind (errors and failed checks, passed checks, the removal
// note), in colours chosen from
// the pane's palette so they read on light and dark desktops alike.
class TLogHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    TLogHighlighter(QTextDocument* document, const QPalette& palette);

    // Picks the colours again after the palette changed.
    void UsePalette(const QPalette& palette);
    QColor ErrorColour() const { return m_error.foreground().color(); }
    QColor PassColour() const { return m_pass.foreground().color(); }

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat m_error;
    QTextCharFormat m_pass;
    QTextCharFormat m_note;
};

// True for a palette whose text is drawn on a dark background.
bool IsDarkPalette(const QPalette& palette);

}  // namespace korvane::workbench
