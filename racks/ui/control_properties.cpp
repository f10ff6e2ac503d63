#include "racks/ui/control_properties.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <string_view>

#include "racks/ui/picture_data.h"
#include "racks/ui/text_lines.h"

namespace korvane::racks {

namespace {

using C = TControlClass;
using TClassMask = uint32_t;

constexpr TClassMask Mask(std::initializer_list<TControlClass> classes) {
    TClassMask mask = 0;
    for (TControlClass cls : classes) mask |= TClassMask{1} << static_cast<unsigned>(cls);
    return mask;
}

constexpr TClassMask kAllClasses = ~TClassMask{0};
constexpr TClassMask kIntegerRanged =
    Mask({C::Slider, C::TrackBar, C::Meter, C::ProgressBar, C::Scope});
constexpr TClassMask kFloatRanged = Mask({C::AngularMeter, C::PowerMeter});
constexpr TClassMask kCaptioned =
    Mask({C::PowerButton, C::CheckLed, C::Meter, C::AngularMeter, C::PowerMeter, C::Scope});
constexpr TClassMask kPictures = Mask({C::Image, C::Lcd});
constexpr int kPointsPerInch = 72;
constexpr int kPixelsPerInch = 96;

// What a record says about the range and a list's choice, gathered first and applied once
// all properties are read, since a file may name the position before the limits and the
// choice before the items.
struct TGathered {
    std::optional<double> min;
    std::optional<double> max;
    std::optional<double> value;
    std::optional<int64_t> positions;
    std::optional<int> itemIndex;  // a list's choice, once its items are there
};

struct TApplyContext {
    TRackControl& control;
    const TPropertyList& properties;
    std::string_view name;
    TGathered& gathered;
};

using TApplier = std::function<TStatus(TApplyContext&)>;

struct TPropertyRule {
    std::string_view name;
    TClassMask classes;
    TApplier apply;
};

template <typename T>
TStatus Take(const TPropertyRead<T>& read, T& out) {
    if (!read.Ok()) return TStatus::Failure(read.message);
    out = read.value;
    return {};
}

TStatus TakeColour(const TApplyContext& c, TRgb& out) {
    const TFormValue* value = c.properties.Find(c.name);
    const std::optional<TRgb> colour = value ? ColourFromValue(*value) : std::nullopt;
    if (!colour) return TStatus::Failure("property " + std::string(c.name) + " is not a colour");
    out = *colour;
    return {};
}

TStatus TakeCoordinate(const TApplyContext& c, int& out, int low) {
    int64_t value = 0;
    if (TStatus s = Take(c.properties.GetInteger(c.name), value); !s) return s;
    out = ClampCoordinate(value, low, kMaxCoordinate);
    return {};
}

TStatus TakeNumber(const TApplyContext& c, std::optional<double>& out, bool whole) {
    double value = 0;
    if (whole) {
        int64_t integer = 0;
        if (TStatus s = Take(c.properties.GetInteger(c.name), integer); !s) return s;
        value = static_cast<double>(integer);
    } else if (TStatus s = Take(c.properties.GetFloat(c.name), value); !s) {
        return s;
    }
    out = value;
    return {};
}

// Limits must be real numbers; a position may be anything a float holds.
TStatus TakeLimit(const TApplyContext& c, std::optional<double>& out, bool whole) {
    if (TStatus s = TakeNumber(c, out, whole); !s) return s;
    if (!std::isfinite(*out)) {
        return TStatus::Failure("property " + std::string(c.name) + " is not a finite number");
    }
    return {};
}

bool IsWholeClass(TControlClass cls) {
    return (kIntegerRanged | Mask({C::Num, C::Switch})) &
           (TClassMask{1} << static_cast<unsigned>(cls));
}

TStatus TakeOrientation(const TApplyContext& c, TOrientation& out) {
    std::string ident;
    if (TStatus s = Take(c.properties.GetIdent(c.name), ident); !s) return s;
    if (ident.ends_with("Horizontal")) {
        out = TOrientation::Horizontal;
    } else if (ident.ends_with("Vertical")) {
        out = TOrientation::Vertical;
    } else {
        return TStatus::Failure("property " + std::string(c.name) + " has no orientation " + ident);
    }
    return {};
}

TStatus TakeAlignment(const TApplyContext& c, TAlignment& out) {
    std::string ident;
    if (TStatus s = Take(c.properties.GetIdent(c.name), ident); !s) return s;
    if (ident == "taLeftJustify") {
        out = TAlignment::Left;
    } else if (ident == "taRightJustify") {
        out = TAlignment::Right;
    } else if (ident == "taCenter") {
        out = TAlignment::Center;
    } else {
        return TStatus::Failure("property " + std::string(c.name) + " has no alignment " + ident);
    }
    return {};
}

TStatus TakePicture(TApplyContext& c) {
    std::string bytes;
    if (TStatus s = Take(c.properties.GetBytes(c.name), bytes); !s) return s;
    // A picture in a form the widgets cannot show leaves the control's own picture.
    if (std::optional<TPicture> picture = DecodePictureData(bytes)) {
        c.control.SetPicture(std::move(*picture));
    }
    return {};
}

TStatus TakeComboStyle(TApplyContext& c) {
    std::string ident;
    if (TStatus s = Take(c.properties.GetIdent(c.name), ident); !s) return s;
    c.control.look.dropDownList =
        ident == "csDropDownList" || ident == "csOwnerDrawFixed" || ident == "csOwnerDrawVariable";
    return {};
}

TStatus TakeText(TApplyContext& c) {
    std::string text;
    if (TStatus s = Take(c.properties.GetText(c.name), text); !s) return s;
    c.control.SetText(std::move(text));
    return {};
}

TStatus TakeBool(TApplyContext& c, bool& out) { return Take(c.properties.GetBool(c.name), out); }

const std::vector<TPropertyRule>& Rules() {
    static const std::vector<TPropertyRule> rules = {
        {"Left", kAllClasses,
         [](TApplyContext& c) {
             return TakeCoordinate(c, c.control.bounds.left, -kMaxCoordinate);
         }},
        {"Top", kAllClasses,
         [](TApplyContext& c) { return TakeCoordinate(c, c.control.bounds.top, -kMaxCoordinate); }},
        {"Width", kAllClasses,
         [](TApplyContext& c) { return TakeCoordinate(c, c.control.bounds.width, 0); }},
        {"Height", kAllClasses,
         [](TApplyContext& c) { return TakeCoordinate(c, c.control.bounds.height, 0); }},
        {"Hint", kAllClasses,
         [](TApplyContext& c) { return Take(c.properties.GetText(c.name), c.control.hint); }},
        {"Visible", kAllClasses,
         [](TApplyContext& c) {
             bool visible = true;
             if (TStatus s = TakeBool(c, visible); !s) return s;
             c.control.SetVisible(visible);
             return TStatus{};
         }},
        {"Color", kAllClasses,
         [](TApplyContext& c) { return TakeColour(c, c.control.look.colour); }},
        {"Palette.Low", kAllClasses,
         [](TApplyContext& c) { return TakeColour(c, c.control.look.paletteLow); }},
        {"Palette.High", kAllClasses,
         [](TApplyContext& c) { return TakeColour(c, c.control.look.paletteHigh); }},
        {"StartColor", Mask({C::Gradient}),
         [](TApplyContext& c) { return TakeColour(c, c.control.look.startColour); }},
        {"EndColor", Mask({C::Gradient}),
         [](TApplyContext& c) { return TakeColour(c, c.control.look.endColour); }},
        {"Orientation", kAllClasses,
         [](TApplyContext& c) { return TakeOrientation(c, c.control.look.orientation); }},
        {"Alignment", Mask({C::Label, C::Edit, C::Memo, C::CheckLed}),
         [](TApplyContext& c) { return TakeAlignment(c, c.control.look.alignment); }},
        {"Transparent", kAllClasses,
         [](TApplyContext& c) { return TakeBool(c, c.control.look.transparent); }},
        {"Caption", Mask({C::Label}), TakeText},
        {"Caption", kCaptioned,
         [](TApplyContext& c) {
             return Take(c.properties.GetText(c.name), c.control.look.caption);
         }},
        {"Text", Mask({C::Matrix, C::Edit, C::ComboBox}), TakeText},
        {"Lines.Strings", Mask({C::Memo}),
         [](TApplyContext& c) {
             std::vector<std::string> lines;
             if (TStatus s = Take(c.properties.GetTextList(c.name), lines); !s) return s;
             c.control.SetText(JoinTextLines(lines));
             return TStatus{};
         }},
        {"Items.Strings", Mask({C::ComboBox}),
         [](TApplyContext& c) {
             std::vector<std::string> items;
             if (TStatus s = Take(c.properties.GetTextList(c.name), items); !s) return s;
             const std::string text = c.control.State().text;
             c.control.SetItems(std::move(items));
             c.control.SelectItem(-1);
             c.control.SetText(text);
             return TStatus{};
         }},
        {"ItemIndex", Mask({C::ComboBox}),
         [](TApplyContext& c) {
             int64_t index = 0;
             if (TStatus s = Take(c.properties.GetInteger(c.name), index); !s) return s;
             c.gathered.itemIndex = ClampCoordinate(index, -1, kMaxCoordinate);
             return TStatus{};
         }},
        {"Style", Mask({C::ComboBox}), TakeComboStyle},
        {"ReadOnly", Mask({C::Edit, C::Memo}),
         [](TApplyContext& c) { return TakeBool(c, c.control.look.readOnly); }},
        {"Active", Mask({C::Led, C::PowerButton}),
         [](TApplyContext& c) {
             bool on = false;
             if (TStatus s = TakeBool(c, on); !s) return s;
             c.control.SetActive(on);
             return TStatus{};
         }},
        {"Checked", Mask({C::CheckLed}),
         [](TApplyContext& c) {
             bool on = false;
             if (TStatus s = TakeBool(c, on); !s) return s;
             c.control.SetActive(on);
             return TStatus{};
         }},
        {"MinValue", kIntegerRanged | kFloatRanged,
         [](TApplyContext& c) {
             return TakeLimit(c, c.gathered.min, IsWholeClass(c.control.Class()));
         }},
        {"MaxValue", kIntegerRanged | kFloatRanged,
         [](TApplyContext& c) {
             return TakeLimit(c, c.gathered.max, IsWholeClass(c.control.Class()));
         }},
        {"Min", Mask({C::Num}),
         [](TApplyContext& c) { return TakeLimit(c, c.gathered.min, true); }},
        {"Max", Mask({C::Num}),
         [](TApplyContext& c) { return TakeLimit(c, c.gathered.max, true); }},
        {"Position", kIntegerRanged & ~Mask({C::Scope}),
         [](TApplyContext& c) { return TakeNumber(c, c.gathered.value, true); }},
        {"Position", Mask({C::AngularMeter}),
         [](TApplyContext& c) { return TakeNumber(c, c.gathered.value, false); }},
        {"Value", Mask({C::PowerMeter}),
         [](TApplyContext& c) { return TakeNumber(c, c.gathered.value, false); }},
        {"Value", Mask({C::Num}),
         [](TApplyContext& c) { return TakeNumber(c, c.gathered.value, true); }},
        {"Offset", Mask({C::Switch}),
         [](TApplyContext& c) { return TakeNumber(c, c.gathered.value, true); }},
        {"Positions", Mask({C::Switch}),
         [](TApplyContext& c) {
             int64_t positions = 0;
             if (TStatus s = Take(c.properties.GetInteger(c.name), positions); !s) return s;
             c.gathered.positions = positions;
             return TStatus{};
         }},
        {"Digits", Mask({C::Num}),
         [](TApplyContext& c) {
             int64_t digits = 0;
             if (TStatus s = Take(c.properties.GetInteger(c.name), digits); !s) return s;
             c.control.look.digits = ClampCoordinate(digits, 1, 16);
             return TStatus{};
         }},
        {"LeadingZero", Mask({C::Num}),
         [](TApplyContext& c) { return TakeBool(c, c.control.look.leadingZero); }},
        {"Interval", Mask({C::Scope}),
         [](TApplyContext& c) {
             int64_t interval = 0;
             if (TStatus s = Take(c.properties.GetInteger(c.name), interval); !s) return s;
             c.control.scope.intervalMs = ClampCoordinate(interval, 1, 60000);
             return TStatus{};
         }},
        {"Channels", Mask({C::Scope}),
         [](TApplyContext& c) {
             int64_t channels = 0;
             if (TStatus s = Take(c.properties.GetInteger(c.name), channels); !s) return s;
             c.control.scope.channels = ClampCoordinate(channels, 1, 8);
             return TStatus{};
         }},
        {"BufferSize", Mask({C::Scope}),
         [](TApplyContext& c) {
             int64_t size = 0;
             if (TStatus s = Take(c.properties.GetInteger(c.name), size); !s) return s;
             c.control.scope.capacity =
                 static_cast<size_t>(ClampCoordinate(size, 1, static_cast<int>(kMaxScopeSamples)));
             return TStatus{};
         }},
        {"Picture.Data", kPictures, TakePicture},
        {"Stretch", kPictures,
         [](TApplyContext& c) { return TakeBool(c, c.control.look.stretch); }},
        {"Center", kPictures, [](TApplyContext& c) { return TakeBool(c, c.control.look.center); }},
        {"Proportional", kPictures,
         [](TApplyContext& c) { return TakeBool(c, c.control.look.proportional); }},
    };
    return rules;
}

const TPropertyRule* RuleFor(std::string_view name, TControlClass cls) {
    const TClassMask bit = TClassMask{1} << static_cast<unsigned>(cls);
    for (const TPropertyRule& rule : Rules()) {
        if (rule.name == name && (rule.classes & bit)) return &rule;
    }
    return nullptr;
}

void ApplyGathered(TRackControl& control, const TGathered& scratch) {
    if (control.Class() == C::Switch) {
        const int positions =
            ClampCoordinate(scratch.positions.value_or(4), 1, kMaxSwitchPositions);
        control.SetRange(0, positions - 1);
    } else {
        const TRange defaults = DefaultRange(control.Class());
        control.SetRange(scratch.min.value_or(defaults.min), scratch.max.value_or(defaults.max));
    }
    control.SetValue(scratch.value.value_or(control.range.min));
    if (scratch.itemIndex) control.SelectItem(*scratch.itemIndex);
}

}  // namespace

int ClampCoordinate(int64_t value, int low, int high) {
    if (value < low) return low;
    if (value > high) return high;
    return static_cast<int>(value);
}

TStatus ApplyFontProperties(const TPropertyList& properties, TFontLook& font) {
    for (const TFormProperty& property : properties.Items()) {
        const std::string_view name = property.name;
        TStatus status;
        if (name == "Font.Name") {
            status = Take(properties.GetText(name), font.name);
        } else if (name == "Font.Height" || name == "Font.Size") {
            int64_t size = 0;
            status = Take(properties.GetInteger(name), size);
            if (name == "Font.Size") size = size * kPixelsPerInch / kPointsPerInch;
            font.pixelHeight = ClampCoordinate(size < 0 ? -size : size, 1, 512);
        } else if (name == "Font.Color") {
            const std::optional<TRgb> colour = ColourFromValue(property.value);
            if (!colour) return TStatus::Failure("property Font.Color is not a colour");
            font.colour = *colour;
        } else if (name == "Font.Style") {
            std::vector<std::string> style;
            status = Take(properties.GetSet(name), style);
            auto has = [&style](std::string_view s) {
                return std::find(style.begin(), style.end(), s) != style.end();
            };
            font.bold = has("fsBold");
            font.italic = has("fsItalic");
            font.underline = has("fsUnderline");
            font.strikeOut = has("fsStrikeOut");
        }
        if (!status) return status;
    }
    return {};
}

TStatus ApplyControlRecord(TRackControl& control) {
    const TFormObject& record = control.Record();
    auto fail = [&record](const std::string& message) {
        return TStatus::Failure("control " + record.objectName + ": " + message);
    };
    if (!record.children.empty()) return fail("a control cannot hold other controls");
    if (TStatus font = ApplyFontProperties(record.properties, control.look.font); !font) {
        return fail(font.Error());
    }
    TGathered scratch;
    for (const TFormProperty& property : record.properties.Items()) {
        const TPropertyRule* rule = RuleFor(property.name, control.Class());
        if (!rule) continue;
        TApplyContext context{control, record.properties, property.name, scratch};
        if (TStatus status = rule->apply(context); !status) return fail(status.Error());
    }
    ApplyGathered(control, scratch);
    if (control.scope.capacity == 0) {
        control.scope.capacity = static_cast<size_t>(
            ClampCoordinate(control.bounds.width, 1, static_cast<int>(kMaxScopeSamples)));
    }
    return {};
}

}  // namespace korvane::racks
