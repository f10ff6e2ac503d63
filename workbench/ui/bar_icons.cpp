#include "workbench/ui/bar_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace korvane::workbench {

namespace {

// Every icon is drawn on a 16 x 16 grid and scaled.
constexpr int kGrid = 16;

const QColor kInk(70, 78, 92);
const QColor kPaper(255, 255, 255);
const QColor kFolder(232, 176, 64);
const QColor kDisk(62, 112, 196);
const QColor kGo(38, 160, 78);
const QColor kHalt(208, 60, 52);
const QColor kHold(226, 150, 30);

void DrawPage(QPainter& p) {
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(9.5, 1.5);
    page.lineTo(12.5, 4.5);
    page.lineTo(12.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawPath(page);
    p.drawLine(QPointF(9.5, 1.5), QPointF(9.5, 4.5));
    p.drawLine(QPointF(9.5, 4.5), QPointF(12.5, 4.5));
}

void DrawFolder(QPainter& p) {
    p.setPen(QPen(kFolder.darker(140), 1));
    p.setBrush(kFolder.darker(110));
    p.drawRoundedRect(QRectF(1.5, 3.5, 6, 3), 1, 1);
    p.setBrush(kFolder);
    p.drawRoundedRect(QRectF(1.5, 5.5, 13, 8), 1.2, 1.2);
}

void DrawDisk(QPainter& p) {
    p.setPen(QPen(kDisk.darker(140), 1));
    p.setBrush(kDisk);
    p.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 1.5, 1.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawRect(QRectF(4, 2, 8, 4.5));
    p.setBrush(kDisk.lighter(160));
    p.drawRect(QRectF(4, 9.5, 8, 4.5));
}

void DrawPen(QPainter& p) {
    p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(9.5, 14), QPointF(14.5, 9));
    p.setPen(QPen(kHold, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10.5, 13), QPointF(14, 9.5));
}

void DrawTriangle(QPainter& p) {
    QPainterPath play;
    play.moveTo(4, 2.5);
    play.lineTo(13.5, 8);
    play.lineTo(4, 13.5);
    play.closeSubpath();
    p.setPen(QPen(kGo.darker(130), 1, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kGo);
    p.drawPath(play);
}

void Draw(QPainter& p, TBarIcon icon) {
    switch (icon) {
        case TBarIcon::Open:
            DrawFolder(p);
            break;
        case TBarIcon::New:
            DrawPage(p);
            break;
        case TBarIcon::Save:
            DrawDisk(p);
            break;
        case TBarIcon::SaveAs:
            DrawDisk(p);
            DrawPen(p);
            break;
        case TBarIcon::Run:
            DrawTriangle(p);
            break;
        case TBarIcon::Stop:
            p.setPen(QPen(kHalt.darker(130), 1));
            p.setBrush(kHalt);
            p.drawRoundedRect(QRectF(3.5, 3.5, 9, 9), 1.5, 1.5);
            break;
        case TBarIcon::Pause:
            p.setPen(QPen(kHold.darker(130), 1));
            p.setBrush(kHold);
            p.drawRoundedRect(QRectF(3.5, 2.5, 3.5, 11), 1, 1);
            p.drawRoundedRect(QRectF(9, 2.5, 3.5, 11), 1, 1);
            break;
    }
}

QPixmap Render(TBarIcon icon, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(static_cast<double>(size) / kGrid, static_cast<double>(size) / kGrid);
    Draw(painter, icon);
    return pixmap;
}

}  // namespace

QIcon BarIcon(TBarIcon icon) {
    QIcon result;
    for (int size : {16, 24, 32, 48}) result.addPixmap(Render(icon, size));
    return result;
}

}  // namespace korvane::workbench
