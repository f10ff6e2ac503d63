#include "serial/terminal_layout.h"

#include <array>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "racks/rack_file.h"

namespace korvane::serial {

namespace {

using racks::TFormObject;
using racks::TPropertyList;

struct TNamedColor {
    std::string_view name;
    std::uint32_t rgb;
};

constexpr std::array<TNamedColor, 16> kNamedColors = {{
    {"clBlack", 0x000000},
    {"clMaroon", 0x800000},
    {"clGreen", 0x008000},
    {"clOlive", 0x808000},
    {"clNavy", 0x000080},
    {"clPurple", 0x800080},
    {"clTeal", 0x008080},
    {"clGray", 0x808080},
    {"clSilver", 0xC0C0C0},
    {"clRed", 0xFF0000},
    {"clLime", 0x00FF00},
    {"clYellow", 0xFFFF00},
    {"clBlue", 0x0000FF},
    {"clFuchsia", 0xFF00FF},
    {"clAqua", 0x00FFFF},
    {"clWhite", 0xFFFFFF},
}};

// Colours are stored as a name or as a number 0x00BBGGRR; negative numbers and names that
// are not in the table stand for desktop colours.
TLayoutColor ReadColor(const TPropertyList& properties, std::string_view name,
                       TLayoutColor fallback) {
    if (auto ident = properties.GetIdent(name); ident.Ok()) {
        for (const TNamedColor& color : kNamedColors) {
            if (color.name == ident.value) return color.rgb;
        }
        return std::nullopt;
    }
    if (auto number = properties.GetInteger(name); number.Ok()) {
        if (number.value < 0 || number.value > 0xFFFFFF) return std::nullopt;
        const auto bgr = static_cast<std::uint32_t>(number.value);
        return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
    }
    return fallback;
}

int ReadInt(const TPropertyList& properties, std::string_view name, int fallback) {
    const auto value = properties.GetInteger(name);
    // Window extents beyond this are damage, not a design.
    constexpr std::int64_t kLimit = 1 << 15;
    if (!value.Ok() || value.value < -kLimit || value.value > kLimit) return fallback;
    return static_cast<int>(value.value);
}

const TFormObject* FindMemo(const TFormObject& root) {
    for (const TFormObject& child : root.children) {
        if (child.objectName == "Memo1" && child.className == "TMemo") return &child;
    }
    return nullptr;
}

void ReadForm(const TPropertyList& form, TTerminalLayout& layout) {
    layout.left = ReadInt(form, "Left", layout.left);
    layout.top = ReadInt(form, "Top", layout.top);
    layout.clientWidth = ReadInt(form, "ClientWidth", layout.clientWidth);
    layout.clientHeight = ReadInt(form, "ClientHeight", layout.clientHeight);
    layout.caption = form.GetText("Caption").ValueOr(layout.caption);
    layout.stayOnTop = form.GetIdent("FormStyle").ValueOr("fsNormal") == "fsStayOnTop";
    layout.sizeable = form.GetIdent("BorderStyle").ValueOr("bsSizeable") == "bsSizeable";
    layout.formColor = ReadColor(form, "Color", std::nullopt);
}

void ReadMemo(const TPropertyList& memo, TTerminalLayout& layout) {
    layout.memoFillsClient = memo.GetIdent("Align").ValueOr("alNone") == "alClient";
    layout.memoLeft = ReadInt(memo, "Left", layout.memoLeft);
    layout.memoTop = ReadInt(memo, "Top", layout.memoTop);
    layout.memoWidth = ReadInt(memo, "Width", layout.memoWidth);
    layout.memoHeight = ReadInt(memo, "Height", layout.memoHeight);
    layout.memoColor = ReadColor(memo, "Color", std::nullopt);
    layout.memoFontColor = ReadColor(memo, "Font.Color", std::nullopt);
    // A negative font height is the character height in pixels, a positive one the cell's.
    layout.memoFontPixels = std::abs(ReadInt(memo, "Font.Height", layout.memoFontPixels));
    const std::string bars = memo.GetIdent("ScrollBars").ValueOr("ssNone");
    layout.memoVerticalScrollBar = bars == "ssVertical" || bars == "ssBoth";
}

}  // namespace

racks::TResult<TTerminalLayout> TerminalLayoutFromForm(const TFormObject& root) {
    const TFormObject* memo = FindMemo(root);
    if (!memo) {
        return racks::TResult<TTerminalLayout>::Failure("the layout has no TMemo named Memo1");
    }
    TTerminalLayout layout;
    ReadForm(root.properties, layout);
    ReadMemo(memo->properties, layout);
    return layout;
}

racks::TResult<TTerminalLayout> LoadTerminalLayout(const std::filesystem::path& file) {
    racks::TResult<TFormObject> root = racks::LoadRackFile(file);
    if (!root) return racks::TResult<TTerminalLayout>::Failure(root.Error());
    return TerminalLayoutFromForm(root.Value());
}

}  // namespace korvane::serial
