#include "workbench/ui/help_window.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

#include "workbench/editor_look.h"

namespace korvane::workbench {

namespace {

constexpr QSize kInitialSize(760, 600);
constexpr int kSearchWidth = 200;

QString CssColour(TRgb rgb) { return QColor(rgb.red, rgb.green, rgb.blue).name(); }

// Dark colours over a page's own, the script samples in the editor's dark look.
QString DarkPageRules() {
    const auto sample = [](const char* name, TStyle style) {
        return QStringLiteral(".%1 { color: %2; }\n")
            .arg(QLatin1String(name), CssColour(DarkStyleLook(style).foreground));
    };
    return QStringLiteral(
               "\nbody { color: %1; background: %2; }\n"
               "nav { background: %2; border-right: 1px solid #3a3d42; }\n"
               "a, nav a { color: #8fb4ff; }\n"
               "h2 { color: #a9c1ff; border-bottom: 2px solid #3a3d42; }\n"
               "h3 { color: #8fb4ff; }\n"
               "code, th { background: #2b2d31; }\n"
               "pre { background: #26282c; border: 1px solid #3a3d42; }\n"
               "th, td { border: 1px solid #3a3d42; }\n"
               ".note { background: #3a3220; }\n")
               .arg(CssColour(kDarkText), CssColour(kDarkPaper)) +
           sample("kw", TStyle::Keyword) + sample("str", TStyle::String) +
           sample("sym", TStyle::Symbol) + sample("com", TStyle::LineComment) +
           sample("num", TStyle::Number);
}

QString DarkPageStyle() {
    return QStringLiteral("<style>") + DarkPageRules() + QStringLiteral("</style>");
}

}  // namespace

// A text browser that can lay a dark style over the pages it loads.
class TFrmHelp::TBrowser : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    bool dark = false;

    QVariant loadResource(int type, const QUrl& name) override {
        QVariant resource = QTextBrowser::loadResource(type, name);
        // A page opened by its address comes without a type; its name says what it is.
        const bool page = type == QTextDocument::HtmlResource ||
                          (type == QTextDocument::UnknownResource &&
                           name.fileName().endsWith(QLatin1String(".html"), Qt::CaseInsensitive));
        if (!dark || !page) return resource;
        QString html = resource.typeId() == QMetaType::QByteArray
                           ? QString::fromUtf8(resource.toByteArray())
                           : resource.toString();
        // At the end of the page's own style, so it wins.
        const qsizetype end = html.indexOf(QLatin1String("</style>"), 0, Qt::CaseInsensitive);
        html.insert(end < 0 ? 0 : end, end < 0 ? DarkPageStyle() : DarkPageRules());
        return html;
    }
};

TFrmHelp::TFrmHelp(QWidget* parent)
    : QWidget(parent, Qt::Window),
      m_browser(new TBrowser(this)),
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

QTextBrowser& TFrmHelp::Browser() { return *m_browser; }

void TFrmHelp::SetDark(bool dark) {
    if (m_browser->dark == dark) return;
    m_browser->dark = dark;
    if (!m_browser->source().isEmpty()) m_browser->reload();
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
