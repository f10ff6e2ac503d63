#include "racks/ui/window_look.h"

#include <algorithm>

#include "racks/ui/control_properties.h"

namespace korvane::racks {

namespace {

template <typename T>
TStatus Take(const TPropertyRead<T>& read, T& out) {
    if (!read.Ok()) return TStatus::Failure(read.message);
    out = read.value;
    return {};
}

TStatus TakeInteger(const TPropertyList& properties, std::string_view name, int& out, int low,
                    int high) {
    int64_t value = 0;
    if (TStatus s = Take(properties.GetInteger(name), value); !s) return s;
    out = ClampCoordinate(value, low, high);
    return {};
}

TStatus TakeBorderStyle(const TPropertyList& properties, TBorderStyle& out) {
    std::string ident;
    if (TStatus s = Take(properties.GetIdent("BorderStyle"), ident); !s) return s;
    static const std::pair<std::string_view, TBorderStyle> kStyles[] = {
        {"bsNone", TBorderStyle::None},
        {"bsSingle", TBorderStyle::Single},
        {"bsSizeable", TBorderStyle::Sizeable},
        {"bsDialog", TBorderStyle::Dialog},
        {"bsToolWindow", TBorderStyle::ToolWindow},
        {"bsSizeToolWin", TBorderStyle::SizeToolWindow},
    };
    for (const auto& [name, style] : kStyles) {
        if (ident == name) {
            out = style;
            return {};
        }
    }
    return TStatus::Failure("property BorderStyle has no style " + ident);
}

TStatus TakeBorderIcons(const TPropertyList& properties, TWindowLook& look) {
    std::vector<std::string> icons;
    if (TStatus s = Take(properties.GetSet("BorderIcons"), icons); !s) return s;
    auto has = [&icons](std::string_view icon) {
        return std::find(icons.begin(), icons.end(), icon) != icons.end();
    };
    look.systemMenu = has("biSystemMenu");
    look.minimizeButton = has("biMinimize");
    look.maximizeButton = has("biMaximize");
    return {};
}

TStatus ApplyOne(const TPropertyList& properties, const TFormProperty& property,
                 TWindowLook& look) {
    const std::string_view name = property.name;
    if (name == "Left")
        return TakeInteger(properties, name, look.left, -kMaxCoordinate, kMaxCoordinate);
    if (name == "Top")
        return TakeInteger(properties, name, look.top, -kMaxCoordinate, kMaxCoordinate);
    if (name == "ClientWidth")
        return TakeInteger(properties, name, look.clientWidth, 1, kMaxClientSize);
    if (name == "ClientHeight")
        return TakeInteger(properties, name, look.clientHeight, 1, kMaxClientSize);
    if (name == "Caption") return Take(properties.GetText(name), look.caption);
    if (name == "BorderStyle") return TakeBorderStyle(properties, look.borderStyle);
    if (name == "BorderIcons") return TakeBorderIcons(properties, look);
    if (name == "Color") {
        const std::optional<TRgb> colour = ColourFromValue(property.value);
        if (!colour) return TStatus::Failure("property Color is not a colour");
        look.colour = *colour;
    }
    return {};
}

}  // namespace

TStatus ApplyWindowRecord(const TPropertyList& properties, TWindowLook& look) {
    // An outer size stands in for the client size when the file gives only that.
    const bool hasClientWidth = properties.Find("ClientWidth") != nullptr;
    const bool hasClientHeight = properties.Find("ClientHeight") != nullptr;
    if (!hasClientWidth && properties.Find("Width")) {
        if (TStatus s = TakeInteger(properties, "Width", look.clientWidth, 1, kMaxClientSize); !s)
            return s;
    }
    if (!hasClientHeight && properties.Find("Height")) {
        if (TStatus s = TakeInteger(properties, "Height", look.clientHeight, 1, kMaxClientSize); !s)
            return s;
    }
    for (const TFormProperty& property : properties.Items()) {
        if (TStatus s = ApplyOne(properties, property, look); !s) return s;
    }
    return ApplyFontProperties(properties, look.font);
}

TFormObject EmptyWindowRecord(const std::string& objectName, int left, int top) {
    TFormObject root;
    root.className = std::string(kRackWindowClass);
    root.objectName = objectName;
    TPropertyList& p = root.properties;
    p.SetInteger("Left", left);
    p.SetInteger("Top", top);
    p.SetSet("BorderIcons", {"biSystemMenu", "biMinimize"});
    p.SetIdent("BorderStyle", "bsSingle");
    p.SetText("Caption", "Rack");
    p.SetInteger("ClientHeight", 38);
    p.SetInteger("ClientWidth", 104);
    p.SetIdent("Color", "clBlack");
    p.SetIdent("Font.Charset", "DEFAULT_CHARSET");
    p.SetIdent("Font.Color", "clWindowText");
    p.SetInteger("Font.Height", -11);
    p.SetText("Font.Name", "MS Sans Serif");
    p.SetSet("Font.Style", {});
    p.SetBool("KeyPreview", true);
    p.SetInteger("PixelsPerInch", 96);
    p.SetInteger("TextHeight", 13);
    return root;
}

}  // namespace korvane::racks
