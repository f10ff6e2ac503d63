#pragma once

#include <functional>
#include <vector>
#include <string>

#include <QWidget>

class QPlainTextEdit;

namespace korvane::workbench {

// The Watch window of step mode: the variable store, one entry per line. Closing it by hand
// reports its place so debugon can show it there again.
class TFrmWatch : public QWidget {
    Q_OBJECT

public:
    explicit TFrmWatch(QWidget* parent = nullptr);

    void ShowVariables(const std::vector<std::string>& entries);
    // Shows the window at a remembered top-left corner, kept on a screen.
    void ShowAt(QPoint topLeft);
    QPlainTextEdit* Memo() const { return m_memo; }
    void SetClosedAction(std::function<void(QPoint)> action) { m_closed = std::move(action); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPlainTextEdit* m_memo;
    std::function<void(QPoint)> m_closed;
};

}  // namespace korvane::workbench
