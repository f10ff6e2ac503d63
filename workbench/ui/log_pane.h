#pragma once

#include <string_view>

#include <QPlainTextEdit>

#include "workbench/log_store.h"

class QTimer;

namespace korvane::workbench {

class TLogHighlighter;

// The read-only log pane. It keeps every line in full in its store, within a memory bound
// (the oldest lines go in blocks, with a note saying so), and shows bytes as Latin-1 with
// very long lines shortened. Lines reach the screen in batches, so a script that logs in a
// tight loop does not stall the window. Each line's colour comes from its own kind; a
// double-click hands the line under the mouse on, and the context menu adds Clear and
// Save as to the usual copy items.
class TLogPane : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TLogPane(QWidget* parent = nullptr, TLogBounds bounds = {});
    ~TLogPane() override;

    // Appends an item; a line break inside it starts a new line.
    void AppendItem(std::string_view line);
    void ClearItems();
    // Items appended since the pane was last cleared.
    int ItemCount() const { return m_items; }
    // Every shown line, for tests and copying.
    QStringList Lines();
    // Whether the shown line (from 0) is drawn as an error.
    bool LineShownAsError(int line);
    // Whether the shown line (from 0) is drawn as a passed check.
    bool LineShownAsPass(int line);
    // Every line the pane holds, in full, as Latin-1 bytes ended by LF, for Save as.
    std::string TextBytes() const;
    const TLogStore& Store() const { return m_store; }
    // Puts what was appended on the screen now rather than at the next batch.
    void Flush();

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
    void changeEvent(QEvent* event) override;

private:
    bool LineShownIn(int line, const QColor& colour);
    void ShowPending(std::size_t maxLines);
    void DropShownFront(std::size_t count);
    void ShowNote();

    TLogStore m_store;
    TLogHighlighter* m_highlighter;
    QTimer* m_batch;
    int m_items = 0;
    // Body lines of the store on screen, and old lines gone from the store but not yet
    // from the screen.
    std::size_t m_shownBody = 0;
    std::size_t m_removedUnshown = 0;
    bool m_noteShown = false;
    int m_preferredHeight = 160;
};

}  // namespace korvane::workbench
