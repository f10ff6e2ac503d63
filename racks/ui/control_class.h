#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace korvane::racks {

// The control classes a rack may hold, in the order of the registered class list.
enum class TControlClass : uint8_t {
    Label,
    Slider,
    Border,
    Switch,
    Led,
    Matrix,
    PowerButton,
    Meter,
    Num,
    Lcd,
    ProgressBar,
    Scope,
    Gradient,
    Edit,
    CheckLed,
    TrackBar,
    PowerMeter,
    AngularMeter,
    Spinner,
    Memo,
    Image,
    ComboBox,
};

inline constexpr int kControlClassCount = 22;

// Exact, case-sensitive match against the registered names ("TVrSlider" ...).
std::optional<TControlClass> ControlClassFromName(std::string_view className);

// How scripts reach a class's one visible property through assignment and operands.
enum class TBindKind : uint8_t {
    None,            // not bound: drop-down lists, images, spinners, decoration
    Integer,         // 32-bit integer, clamped to the control's range
    IntegerToFloat,  // written as an integer, kept and read as a double (power meter)
    Float,           // double, clamped to the control's range
    Text,
    MemoText,     // text, only the last 65000 characters kept
    OnOff,        // "1" switches on, "0" off, anything else changes nothing
    ScopeSample,  // each write adds one sample; not readable
};

struct TClassBinding {
    TBindKind kind = TBindKind::None;
    std::string_view writeError;
    std::string_view readError;
};

const TClassBinding& BindingOf(TControlClass cls);
bool IsWritable(TControlClass cls);
bool IsReadable(TControlClass cls);

}  // namespace korvane::racks
