#pragma once

#include <QImage>
#include <string>

#include "racks/ui/control_widget.h"

namespace korvane::racks {

// TLabel: a line of text in the label's font, on its colour unless transparent.
class TLabelWidget : public TControlWidget {
 public:
    using TControlWidget::TControlWidget;

 protected:
    void paintEvent(QPaintEvent* event) override;
};

// TVrBorder: a grooved frame around a group of controls.
class TBorderWidget : public TControlWidget {
 public:
    TBorderWidget(TRackControl& control, QWidget* parent);

 protected:
    void paintEvent(QPaintEvent* event) override;
};

// TVrGradient: a colour gradient from StartColor to EndColor.
class TGradientWidget : public TControlWidget {
 public:
    using TControlWidget::TControlWidget;

 protected:
    void paintEvent(QPaintEvent* event) override;
};

// TImage and TLcd: a picture, stretched, centred or at its own size as the control says; a
// TLcd is always stretched to the control.
class TPictureWidget : public TControlWidget {
 public:
    using TControlWidget::TControlWidget;
    void ShowState() override;

 protected:
    void paintEvent(QPaintEvent* event) override;

 private:
    QImage m_image;
    TPicture m_shown;  // the picture m_image was decoded from
};

}  // namespace korvane::racks
