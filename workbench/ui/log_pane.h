#pragma once

#include <string_view>

#include <QPlainTextEdit>

namespace korvane::workbench {

// The read-only log pane. It counts the items appended since it was last cleared (an item
// may hold a line break, like the block check's report) and shows bytes as Latin-1. Error
// lines (failed checks among them) are drawn in red, passed checks in green; a double-click hands the line under the mouse on, and the context
// menu adds Clear and Save as to the usual copy items.
class TLogPane : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TLogPane(QWidget* parent = nullptr);

    void AppendItem(std::string_view line);
    void ClearItems();
    int ItemCount() const { return m_items; }
    // Every shown line, for tests and copying.
    QStringList Lines() const;
    // Whether the shown line (from 0) is drawn as an error.
    bool LineShownAsError(int line) const;
    bool LineShownAsPass(int line) const;
    // The pane's text as Latin-1 bytes, lines ended by LF, for Save as.
    std::string TextBytes() const;

    // The context menu for a click at `at`; the caller owns it.
    QMenu* ContextMenu(const QPoint& at);

    void SetPreferredHeight(int height) { m_preferredHeight = height; }
    QSize sizeHint() const override;

signals:
    void LineActivated(const QString& line);
    void SaveRequested();

protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    int m_items = 0;
    int m_preferredHeight = 160;
};

}  // namespace korvane::workbench
