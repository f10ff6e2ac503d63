// Writing a control's changed state back into its record, for saverack.
#include <cstring>
#include <string_view>

#include "racks/ui/control_properties.h"
#include "racks/ui/picture_data.h"
#include "racks/ui/text_lines.h"

namespace korvane::racks {

namespace {

using C = TControlClass;

// The property a class keeps its value in, and whether it is stored as an integer.
struct TValueProperty {
    std::string_view name;
    bool whole = true;
};

std::optional<TValueProperty> ValuePropertyOf(TControlClass cls) {
    switch (cls) {
        case C::Slider:
        case C::TrackBar:
        case C::Meter:
        case C::ProgressBar:
            return TValueProperty{"Position"};
        case C::AngularMeter:
            return TValueProperty{"Position", false};
        case C::PowerMeter:
            return TValueProperty{"Value", false};
        case C::Num:
            return TValueProperty{"Value"};
        case C::Switch:
            return TValueProperty{"Offset"};
        default:
            return std::nullopt;
    }
}

std::string_view TextPropertyOf(TControlClass cls) {
    switch (cls) {
        case C::Label:
            return "Caption";
        case C::Matrix:
        case C::Edit:
        case C::ComboBox:
            return "Text";
        default:
            return {};
    }
}

TFormValue TextList(const std::vector<std::string>& lines) {
    std::vector<TFormValue> items;
    items.reserve(lines.size());
    for (const std::string& line : lines) items.push_back(TFormValue::Text(line));
    return TFormValue::List(std::move(items));
}

void WriteValue(const TRackControl& control, TPropertyList& properties) {
    const std::optional<TValueProperty> property = ValuePropertyOf(control.Class());
    if (!property) return;
    const double value = control.State().value;
    if (property->whole) {
        properties.SetInteger(property->name, static_cast<int64_t>(value));
    } else {
        properties.SetFloat(property->name, value);
    }
}

void WriteText(const TRackControl& control, TPropertyList& properties) {
    const std::string& text = control.State().text;
    if (control.Class() == C::Memo) {
        properties.Set("Lines.Strings", TextList(SplitTextLines(text)));
    } else if (const std::string_view name = TextPropertyOf(control.Class()); !name.empty()) {
        properties.SetText(name, text);
    }
}

}  // namespace

TFormObject SavedControlRecord(const TRackControl& control) {
    TFormObject record = control.Record();
    TPropertyList& properties = record.properties;
    const TControlState& now = control.State();
    const TControlState& loaded = control.LoadedState();
    // Compare bit patterns so a NaN read from the file does not count as a change.
    if (std::memcmp(&now.value, &loaded.value, sizeof now.value) != 0)
        WriteValue(control, properties);
    if (now.active != loaded.active) {
        properties.SetBool(control.Class() == C::CheckLed ? "Checked" : "Active", now.active);
    }
    if (now.text != loaded.text) WriteText(control, properties);
    if (now.items != loaded.items) properties.Set("Items.Strings", TextList(now.items));
    if (now.itemIndex != loaded.itemIndex && control.Class() == C::ComboBox) {
        properties.SetInteger("ItemIndex", now.itemIndex);
    }
    if (now.visible != loaded.visible) properties.SetBool("Visible", now.visible);
    if (now.picture != loaded.picture) {
        properties.SetBytes("Picture.Data", EncodePictureData(now.picture));
    }
    return record;
}

}  // namespace korvane::racks
