#pragma once

#include <string>

#include "racks/form_object.h"
#include "racks/result.h"
#include "racks/ui/control_look.h"

namespace korvane::racks {

enum class TBorderStyle : uint8_t { None, Single, Sizeable, Dialog, ToolWindow, SizeToolWindow };

// The rack window's own properties, as the root record of a rack file sets them.
struct TWindowLook {
    int left = 0;
    int top = 0;
    int clientWidth = 104;
    int clientHeight = 38;
    std::string caption = "Rack";
    TRgb colour = Rgb(0x000000);
    bool systemMenu = true;
    bool minimizeButton = true;
    bool maximizeButton = false;
    TBorderStyle borderStyle = TBorderStyle::Single;
    TFontLook font;

    friend bool operator==(const TWindowLook&, const TWindowLook&) = default;
};

// The root record's properties applied to `look` (the rest are kept in the record only).
TStatus ApplyWindowRecord(const TPropertyList& properties, TWindowLook& look);

// The record of a rack window that holds no rack file: what saving an empty window writes.
TFormObject EmptyWindowRecord(const std::string& objectName, int left, int top);

inline constexpr std::string_view kRackWindowClass = "TFrmRack";
inline constexpr std::string_view kRackWindowName = "frmRack";

}  // namespace korvane::racks
