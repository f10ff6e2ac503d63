#include "workbench/ui/watch_window.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include "workbench/ui/editor_fonts.h"
#include "workbench/ui/window_placement.h"

namespace korvane::workbench {

namespace {

constexpr int kClientWidth = 212;
constexpr int kClientHeight = 348;
constexpr int kMemoFontPixels = 12;

}  // namespace

TFrmWatch::TFrmWatch(QWidget* parent) : QWidget(parent, Qt::Tool), m_memo(new QPlainTextEdit(this)) {
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

void TFrmWatch::ShowVariables(const std::vector<std::string>& entries) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(entries.size()));
    for (const std::string& entry : entries) {
        lines.append(QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size())));
    }
    m_memo->setPlainText(lines.join(QLatin1Char('\n')));
}

void TFrmWatch::ShowAt(QPoint topLeft) {
    std::vector<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.push_back(screen->availableGeometry());
    }
    move(KeepOnScreen(topLeft, size(), screens));
    show();
    raise();
}

void TFrmWatch::closeEvent(QCloseEvent* event) {
    if (m_closed) m_closed(pos());
    event->accept();
}

}  // namespace korvane::workbench
