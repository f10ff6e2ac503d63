#include "workbench/ui/watch_window.h"

#include <unordered_set>

#include <QPlainTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>

#include "workbench/ui/editor_fonts.h"

namespace korvane::workbench {

namespace {

constexpr int kClientWidth = 212;
constexpr int kClientHeight = 348;
constexpr int kMemoFontPixels = 12;

}  // namespace

TFrmWatch::TFrmWatch(QWidget* parent) : QWidget(parent), m_memo(new QPlainTextEdit(this)) {
    setObjectName(QStringLiteral("FrmWatch"));
    setWindowTitle(QStringLiteral("Watch"));
    m_memo->setObjectName(QStringLiteral("Memo1"));
    m_memo->setReadOnly(true);
    m_memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_memo->setFont(ScriptFont(kMemoFontPixels));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_memo);
    resize(kClientWidth, kClientHeight);
}

QSize TFrmWatch::sizeHint() const { return {kClientWidth, kClientHeight}; }

void TFrmWatch::ShowVariables(const std::vector<std::string>& entries) {
    m_memo->clear();
    QTextCursor cursor(m_memo->document());
    QTextCharFormat plain;
    QTextCharFormat changed;
    changed.setFontWeight(QFont::Bold);
    const std::unordered_set<std::string> last(m_lastEntries.begin(), m_lastEntries.end());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::string& entry = entries[i];
        if (i > 0) cursor.insertBlock();
        const bool same = last.contains(entry);
        cursor.insertText(QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size())),
                          same ? plain : changed);
    }
    m_lastEntries = entries;
}

void TFrmWatch::Clear() {
    m_memo->clear();
    m_lastEntries.clear();
}

}  // namespace korvane::workbench
