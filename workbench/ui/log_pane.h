#pragma once

#include <string_view>

#include <QPlainTextEdit>

namespace korvane::workbench {

// The read-only log pane. It counts the items appended since it was last cleared (an item
// may hold a line break, like the block check's report) and shows bytes as Latin-1.
class TLogPane : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit TLogPane(QWidget* parent = nullptr);

    void AppendItem(std::string_view line);
    void ClearItems();
    int ItemCount() const { return m_items; }
    // Every shown line, for tests and copying.
    QStringList Lines() const;

    void SetPreferredHeight(int height) { m_preferredHeight = height; }
    QSize sizeHint() const override;

private:
    int m_items = 0;
    int m_preferredHeight = 160;
};

}  // namespace korvane::workbench
