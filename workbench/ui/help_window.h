#pragma once

#include <functional>

#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QTextBrowser;

namespace korvane::workbench {

// The help pages in a window of the program's own: links, back and forward, a search in the
// page, and a way out to the desktop's browser. It only reads, so it may stay open during a run.
class TFrmHelp : public QWidget {
    Q_OBJECT

public:
    explicit TFrmHelp(QWidget* parent = nullptr);

    // Shows `page` as the start of the history.
    void Open(const QUrl& page);
    // Selects the next match of `text` after the selection, wrapping round; false when none.
    bool FindInPage(const QString& text);
    // How "Open in browser" reaches the desktop.
    void SetBrowserOpener(std::function<void(const QUrl&)> opener) { m_openInBrowser = std::move(opener); }
    QTextBrowser& Browser();
    // Shows pages in dark colours (over their own) or as they are, and shows the page again.
    void SetDark(bool dark);

private:
    class TBrowser;
    TBrowser* m_browser;
    QLineEdit* m_search;
    QLabel* m_searchState;
    std::function<void(const QUrl&)> m_openInBrowser;
};

}  // namespace korvane::workbench
