#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "workbench/lexer_classifier.h"

namespace korvane::workbench {

// How the script editor looks: one look per lexical class and the editor's fixed settings, as
// plain values an editing widget maps onto its own calls.

struct TRgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    constexpr bool operator==(const TRgb&) const = default;
};

inline constexpr TRgb kBlack{0, 0, 0};
inline constexpr TRgb kWhite{255, 255, 255};
inline constexpr TRgb kGreen{0, 128, 0};
inline constexpr TRgb kBlue{0, 0, 255};
inline constexpr TRgb kTeal{0, 128, 128};
inline constexpr TRgb kNavy{0, 0, 128};
inline constexpr TRgb kFuchsia{255, 0, 255};
inline constexpr TRgb kGrey{128, 128, 128};
inline constexpr TRgb kLightGrey{226, 226, 226};

inline constexpr std::string_view kEditorFontFamily = "Courier New";
inline constexpr int kEditorFontPixels = 13;
inline constexpr int kLineNumberGutterPixels = 35;
inline constexpr int kFirstLineNumber = 1;
inline constexpr int kTabSize = 4;
inline constexpr bool kAutoIndent = true;
inline constexpr int kUndoLimit = 100;
inline constexpr TRgb kSelectionForeground = kWhite;
inline constexpr TRgb kSelectionBackground = kNavy;
inline constexpr TRgb kRightMarginColour = kLightGrey;
inline constexpr TRgb kBlockLineColour = kGrey;
inline constexpr TRgb kUrlColour = kBlue;

struct TStyleLook {
    TRgb foreground = kBlack;
    std::optional<TRgb> background;  // none: the editor's own background
    bool bold = false;
    bool italic = false;
    int fontPixels = kEditorFontPixels;
};

constexpr TStyleLook StyleLook(TStyle style) {
    switch (style) {
        case TStyle::Keyword:
            return {kGreen, kWhite, false, false, 11};
        case TStyle::String:
            return {kBlue, std::nullopt, false, false, kEditorFontPixels};
        case TStyle::Symbol:
            return {kTeal, std::nullopt, false, false, kEditorFontPixels};
        case TStyle::LineComment:
            return {kNavy, kWhite, false, true, kEditorFontPixels};
        case TStyle::BlockComment:
            return {kNavy, std::nullopt, false, true, kEditorFontPixels};
        case TStyle::Number:
            return {kFuchsia, std::nullopt, true, false, kEditorFontPixels};
        case TStyle::Default:
            break;
    }
    return {};
}

}  // namespace korvane::workbench
