#pragma once

#include <vector>
#include <string>

#include <QWidget>

class QPlainTextEdit;

namespace korvane::workbench {

// The Watch window of step mode and breakpoints: the variable store, one entry per line, with
// the entries that changed since the last fill in bold. The main window docks it.
class TFrmWatch : public QWidget {
    Q_OBJECT

public:
    explicit TFrmWatch(QWidget* parent = nullptr);

    void ShowVariables(const std::vector<std::string>& entries);
    // Empties the window and forgets the last fill (a new run starts).
    void Clear();
    QPlainTextEdit* Memo() const { return m_memo; }
    QSize sizeHint() const override;

private:
    QPlainTextEdit* m_memo;
    std::vector<std::string> m_lastEntries;
};

}  // namespace korvane::workbench
