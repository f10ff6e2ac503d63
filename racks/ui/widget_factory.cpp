#include "racks/ui/widget_factory.h"

#include "racks/ui/bar_widgets.h"
#include "racks/ui/decor_widgets.h"
#include "racks/ui/dial_widgets.h"
#include "racks/ui/display_widgets.h"
#include "racks/ui/lamp_widgets.h"
#include "racks/ui/scope_widget.h"
#include "racks/ui/slider_widgets.h"
#include "racks/ui/switch_widgets.h"
#include "racks/ui/text_widgets.h"

namespace korvane::racks {

TControlWidget* CreateControlWidget(TRackControl& control, QWidget* parent) {
    using C = TControlClass;
    switch (control.Class()) {
        case C::Label:
            return new TLabelWidget(control, parent);
        case C::Slider:
        case C::TrackBar:
            return new TSliderWidget(control, parent);
        case C::Border:
            return new TBorderWidget(control, parent);
        case C::Switch:
            return new TSwitchWidget(control, parent);
        case C::Led:
            return new TLedWidget(control, parent);
        case C::Matrix:
            return new TMatrixWidget(control, parent);
        case C::PowerButton:
            return new TPowerButtonWidget(control, parent);
        case C::Meter:
        case C::AngularMeter:
            return new TDialWidget(control, parent);
        case C::Num:
            return new TNumWidget(control, parent);
        case C::Lcd:
        case C::Image:
            return new TPictureWidget(control, parent);
        case C::ProgressBar:
            return new TLevelBarWidget(control, parent);
        case C::Scope:
            return new TScopeWidget(control, parent);
        case C::Gradient:
            return new TGradientWidget(control, parent);
        case C::Edit:
            return new TEditWidget(control, parent);
        case C::CheckLed:
            return new TCheckLedWidget(control, parent);
        case C::PowerMeter:
            return new TPowerMeterWidget(control, parent);
        case C::Spinner:
            return new TSpinnerWidget(control, parent);
        case C::Memo:
            return new TMemoWidget(control, parent);
        case C::ComboBox:
            return new TComboWidget(control, parent);
    }
    return new TLabelWidget(control, parent);
}

}  // namespace korvane::racks
