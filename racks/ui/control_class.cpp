#include "racks/ui/control_class.h"

#include <array>

#include "racks/registered_classes.h"

namespace korvane::racks {

namespace {

// Indexed by TControlClass. The messages are the user's texts, spelling included.
constexpr std::array<TClassBinding, kControlClassCount> kBindings = {{
    {TBindKind::Text, "Label: error changing text.", "Label: error reading text."},
    {TBindKind::Integer, "Slider: error changing position.", "Slider: error reading postion."},
    {TBindKind::None, {}, {}},
    {TBindKind::Integer, "Switch: error changing position.", "Switch: error reading position."},
    {TBindKind::OnOff, "Led: error changing state.", "Led: error reading state."},
    {TBindKind::Text, "MatrixLed: error changing text.", "MatrixLed: error reading text."},
    {TBindKind::OnOff, "PowerButton: error changing state.", "PowerButton: error reading state."},
    {TBindKind::Integer, "AnalogMeter: error changing position.",
     "AnalogMeter: error reading postion."},
    {TBindKind::Integer, "NumericLed: error changing value.", "NumericLed: error reading value."},
    {TBindKind::None, {}, {}},
    {TBindKind::Integer, "LevelBar: error changing position.", "LevelBar: error reading postion."},
    {TBindKind::ScopeSample, "Scope: error adding value.", {}},
    {TBindKind::None, {}, {}},
    {TBindKind::Text, "Edit: error changing text.", "Edit: error reading text."},
    {TBindKind::OnOff, "CheckLed: error changing state.", "CheckLed: error reading state."},
    {TBindKind::Integer, "TrackBar: error changing position.", "TrackBar: error reading postion."},
    {TBindKind::IntegerToFloat, "PowerMeter: error changing position.",
     "PowerMeter: error reading value."},
    {TBindKind::Float, "AngularMeter: error changing position.",
     "AngularMeter: error reading postion."},
    {TBindKind::None, {}, {}},
    {TBindKind::MemoText, "Memo: error changing text.", "Memo: error reading text."},
    {TBindKind::None, {}, {}},
    {TBindKind::None, {}, {}},
}};

static_assert(kBindings.size() == kRegisteredClasses.size());

}  // namespace

std::optional<TControlClass> ControlClassFromName(std::string_view className) {
    for (size_t i = 0; i < kRegisteredClasses.size(); ++i) {
        if (kRegisteredClasses[i] == className) return static_cast<TControlClass>(i);
    }
    return std::nullopt;
}

const TClassBinding& BindingOf(TControlClass cls) { return kBindings[static_cast<size_t>(cls)]; }

bool IsWritable(TControlClass cls) { return BindingOf(cls).kind != TBindKind::None; }

bool IsReadable(TControlClass cls) {
    const TBindKind kind = BindingOf(cls).kind;
    return kind != TBindKind::None && kind != TBindKind::ScopeSample;
}

}  // namespace korvane::racks
