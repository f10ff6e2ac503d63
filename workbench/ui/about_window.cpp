#include "workbench/ui/about_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <Qsci/qsciglobal.h>

namespace korvane::workbench {

namespace {

constexpr int kWidth = 360;
constexpr int kHeight = 170;
constexpr int kDetailsPixels = 12;

QString BuildLines() {
    return QStringLiteral("Version %1, built %2\nQt %3, QScintilla %4")
        .arg(QString::fromLatin1(KORVANE_VERSION), QString::fromLatin1(__DATE__),
             QString::fromLatin1(qVersion()), QString::fromLatin1(QSCINTILLA_VERSION_STR));
}

}  // namespace

TFrmAbout::TFrmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("FrmAbout"));
    setWindowTitle(QString::fromLatin1(kAboutTitle));
    setFixedSize(kWidth, kHeight);
    auto* title = new QLabel(QString::fromLatin1(kAboutTitle), this);
    title->setObjectName(QStringLiteral("Title"));
    QFont titleFont = title->font();
    titleFont.setPixelSize(20);
    titleFont.setBold(true);
    title->setFont(titleFont);
    title->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    m_details = new QLabel(BuildLines(), this);
    m_details->setObjectName(QStringLiteral("Details"));
    m_details->setWordWrap(true);
    m_details->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont detailsFont = m_details->font();
    detailsFont.setPixelSize(kDetailsPixels);
    m_details->setFont(detailsFont);
    m_details->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("CloseButton"));
    close->setDefault(true);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 12, 10, 10);
    layout->addWidget(title);
    layout->addWidget(m_details);
    layout->addStretch();
    layout->addLayout(buttons);
}

void TFrmAbout::SetSettingsPath(const QString& path) {
    m_details->setText(BuildLines() + QStringLiteral("\nSettings: ") + path);
}

QString TFrmAbout::Details() const { return m_details->text(); }

void TFrmAbout::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(0, 0, width(), height());
    gradient.setColorAt(0.0, QColor(24, 48, 110));
    gradient.setColorAt(1.0, QColor(40, 130, 180));
    painter.fillRect(rect(), gradient);
}

}  // namespace korvane::workbench
