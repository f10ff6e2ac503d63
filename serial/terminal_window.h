#pragma once

#include <QPoint>
#include <QWidget>
#include <functional>
#include <string_view>

#include "serial/terminal_layout.h"

class QPlainTextEdit;

namespace korvane::serial {

// The window side of a port's terminal: a small stay-on-top window around the text view
// Memo1, laid out from the terminal layout file. Closing it only hides it and hands its
// place to whoever remembers terminal positions; the port behind it is not its business.
class TTerminalWindow : public QWidget {
 public:
    // Views hold no more lines than this; the next line empties them first.
    static constexpr int kMaxLines = 300;

    TTerminalWindow(QWidget* owner, std::function<void(QPoint)> rememberPosition);

    void ApplyLayout(const TTerminalLayout& layout);
    // Read-only text in a fixed-pitch font of the layout's size and colour.
    void PrepareForPort();
    // Appends one line (bytes shown as Latin-1), emptying a view that holds too many.
    void AddLine(std::string_view line);
    int LineCount() const { return m_lineCount; }
    QPlainTextEdit* Memo1() const { return m_memo; }

    void MakeSizeable();
    // Whether the window has ever been on the screen: only then has it a place to remember.
    bool WasShown() const { return m_wasShown; }
    // The width at which a dump line of `charsPerLine` bytes shows whole in Memo1, beside
    // its scroll bar and inside its frame; 0 when Memo1 does not fill the window.
    int DumpWidth(int charsPerLine) const;
    // Remembers the current place, then hides.
    void Dismiss();

 protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

 private:
    void SetFixedFrame(bool fixed);

    QPlainTextEdit* m_memo;
    std::function<void(QPoint)> m_rememberPosition;
    bool m_memoFillsClient = true;
    int m_lineCount = 0;
    bool m_wasShown = false;
};

}  // namespace korvane::serial
