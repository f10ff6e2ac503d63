#include "workbench/ui/about_window.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane::workbench {

namespace {

constexpr int kWidth = 254;
constexpr int kHeight = 90;

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
    layout->addStretch();
    layout->addLayout(buttons);
}

void TFrmAbout::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QLinearGradient gradient(0, 0, width(), height());
    gradient.setColorAt(0.0, QColor(24, 48, 110));
    gradient.setColorAt(1.0, QColor(40, 130, 180));
    painter.fillRect(rect(), gradient);
}

}  // namespace korvane::workbench
