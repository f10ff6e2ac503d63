#include "workbench/ui/help_window.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

namespace korvane::workbench {

namespace {

constexpr QSize kInitialSize(760, 600);
constexpr int kSearchWidth = 200;

}  // namespace

TFrmHelp::TFrmHelp(QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_browser(new QTextBrowser(this)),
      m_search(new QLineEdit(this)),
      m_searchState(new QLabel(this)) {
    setObjectName(QStringLiteral("FrmHelp"));
    setWindowTitle(QStringLiteral("Korvane Help"));
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(true);
    m_search->setObjectName(QStringLiteral("HelpSearch"));
    m_search->setPlaceholderText(QStringLiteral("Find in page"));
    m_search->setClearButtonEnabled(true);
    m_search->setFixedWidth(kSearchWidth);

    auto* bar = new QToolBar(this);
    QAction* back = bar->addAction(QStringLiteral("Back"), m_browser, &QTextBrowser::backward);
    QAction* forward =
        bar->addAction(QStringLiteral("Forward"), m_browser, &QTextBrowser::forward);
    bar->addAction(QStringLiteral("Home"), m_browser, &QTextBrowser::home);
    back->setObjectName(QStringLiteral("HelpBack"));
    forward->setObjectName(QStringLiteral("HelpForward"));
    back->setShortcut(QKeySequence::Back);
    forward->setShortcut(QKeySequence::Forward);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
    bar->addSeparator();
    bar->addWidget(m_search);
    bar->addWidget(m_searchState);
    bar->addSeparator();
    QAction* external = bar->addAction(QStringLiteral("Open in browser"), this, [this] {
        if (m_openInBrowser) m_openInBrowser(m_browser->source());
    });
    external->setObjectName(QStringLiteral("HelpOpenInBrowser"));
    auto* find = new QAction(this);
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, m_search, [this] { m_search->setFocus(); m_search->selectAll(); });
    addAction(find);
    connect(m_search, &QLineEdit::returnPressed, this, [this] { FindInPage(m_search->text()); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_browser);
    resize(kInitialSize);
}

void TFrmHelp::Open(const QUrl& page) {
    m_browser->setSource(page);
    m_browser->clearHistory();
}

bool TFrmHelp::FindInPage(const QString& text) {
    bool found = !text.isEmpty() && m_browser->find(text);
    if (!found && !text.isEmpty()) {
        m_browser->moveCursor(QTextCursor::Start);
        found = m_browser->find(text);
    }
    m_searchState->setText(found || text.isEmpty() ? QString() : QStringLiteral(" Not found "));
    return found;
}

}  // namespace korvane::workbench
