#include "racks/ui/decor_widgets.h"

#include <QLinearGradient>
#include <QPainter>

#include "racks/ui/paint_kit.h"
#include "racks/ui/picture_image.h"

namespace korvane::racks {

namespace {

int AlignmentFlags(TAlignment alignment) {
    switch (alignment) {
        case TAlignment::Center:
            return Qt::AlignHCenter;
        case TAlignment::Right:
            return Qt::AlignRight;
        case TAlignment::Left:
            break;
    }
    return Qt::AlignLeft;
}

}  // namespace

void TLabelWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor back = Colour();
    if (!m_control.look.transparent && back.alpha() > 0) painter.fillRect(rect(), back);
    painter.setPen(FontColour());
    painter.setFont(font());
    painter.drawText(rect(), AlignmentFlags(m_control.look.alignment) | Qt::AlignTop,
                     Latin1(m_control.State().text));
}

TBorderWidget::TBorderWidget(TRackControl& control, QWidget* parent)
    : TControlWidget(control, parent) {
    // A border only frames; clicks belong to what lies beneath it.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TBorderWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = Area();
    if (const QColor back = Colour(); back.alpha() > 0) painter.fillRect(area, back);
    DrawBevel(painter, area, false, 1);
    DrawBevel(painter, area.adjusted(1, 1, -1, -1), true, 1);
    DrawBevel(painter, area.adjusted(3, 3, -3, -3), false, 1);
}

void TGradientWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRectF area = Area();
    const bool horizontal = m_control.look.orientation == TOrientation::Horizontal;
    QLinearGradient gradient(area.topLeft(), horizontal ? area.topRight() : area.bottomLeft());
    gradient.setColorAt(0, ToQColor(m_control.look.startColour, Qt::black));
    gradient.setColorAt(1, ToQColor(m_control.look.endColour, Qt::black));
    painter.fillRect(area, gradient);
}

void TPictureWidget::ShowState() {
    const TPicture& picture = m_control.State().picture;
    if (picture != m_shown) {
        m_shown = picture;
        m_image = DecodePicture(picture).value_or(QImage());
    }
    TControlWidget::ShowState();
}

void TPictureWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (const QColor back = Colour(); back.alpha() > 0 && !m_control.look.transparent) {
        painter.fillRect(rect(), back);
    }
    if (m_image.isNull()) return;
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const TControlLook& look = m_control.look;
    QSizeF size = m_image.size();
    if (m_control.Class() == TControlClass::Lcd || look.stretch) {
        size = look.proportional && m_control.Class() != TControlClass::Lcd
                   ? size.scaled(Area().size(), Qt::KeepAspectRatio)
                   : Area().size();
    }
    QPointF at(0, 0);
    if (look.center) at = QPointF((width() - size.width()) / 2, (height() - size.height()) / 2);
    painter.drawImage(QRectF(at, size), m_image);
}

}  // namespace korvane::racks
