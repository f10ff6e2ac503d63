#pragma once

#include <map>
#include <string>

#include <QObject>
#include <QString>

class QsciScintilla;

namespace korvane::workbench {

// Quiet marks in the editor's marker margin on the lines whose statement failed in the last
// run (or that the block check refused), each with its message as the margin's tooltip. The
// marks move with the text as it is edited and go when the next run starts.
class TFailureMarks : public QObject {
    Q_OBJECT

public:
    // Marker number 20 in margin 1, kept clear of the markers the editor defines for itself.
    static constexpr int kMarker = 20;

    explicit TFailureMarks(QsciScintilla& editor);

    // `lines` maps editor lines (from 0) to messages.
    void Show(const std::map<int, std::string>& lines);
    void Add(int line, const std::string& message);
    void Clear();
    int Count() const { return static_cast<int>(m_messages.size()); }
    // The message of the mark now on `line` (from 0); empty when there is none.
    QString MessageAt(int line) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QsciScintilla& m_editor;
    // Marker handle -> message; the handle finds its line however the text moved.
    std::map<int, QString> m_messages;
};

}  // namespace korvane::workbench
