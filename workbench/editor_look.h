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
// Teal and fuchsia a shade darker than the named colours, so they read at 4.5:1 on white and
// on the line marks.
inline constexpr TRgb kDeepTeal{0, 120, 120};
inline constexpr TRgb kNavy{0, 0, 128};
inline constexpr TRgb kDeepFuchsia{192, 0, 192};
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
            return {kDeepTeal, std::nullopt, false, false, kEditorFontPixels};
        case TStyle::LineComment:
            return {kNavy, kWhite, false, true, kEditorFontPixels};
        case TStyle::BlockComment:
            return {kNavy, std::nullopt, false, true, kEditorFontPixels};
        case TStyle::Number:
            return {kDeepFuchsia, std::nullopt, true, false, kEditorFontPixels};
        case TStyle::Default:
            break;
    }
    return {};
}

// The dark look: the same classes in colours that read on a dark background.
inline constexpr TRgb kDarkPaper{30, 31, 34};
inline constexpr TRgb kDarkText{220, 222, 226};

constexpr TStyleLook DarkStyleLook(TStyle style) {
    TStyleLook look = StyleLook(style);
    look.background.reset();
    switch (style) {
        case TStyle::Keyword:
            look.foreground = {110, 210, 130};
            break;
        case TStyle::String:
            look.foreground = {130, 180, 255};
            break;
        case TStyle::Symbol:
            look.foreground = {90, 205, 205};
            break;
        case TStyle::LineComment:
        case TStyle::BlockComment:
            look.foreground = {150, 165, 235};
            break;
        case TStyle::Number:
            look.foreground = {245, 130, 245};
            break;
        case TStyle::Default:
            look.foreground = kDarkText;
            break;
    }
    return look;
}

// The colours around the text: paper, gutter, caret line, selection and line marks.
struct TEditorFrameLook {
    TRgb paper;
    TRgb text;
    TRgb gutter;
    TRgb gutterText;
    TRgb caretLine;
    TRgb caret;
    TRgb selectionForeground;
    TRgb selectionBackground;
    TRgb rightMargin;
    TRgb blockLines;
    TRgb url;
    TRgb currentLine;  // showline's mark
    TRgb stepLine;     // the statement a step or a pause waits before
    TRgb stepArrow;
    TRgb errorLine;
    TRgb errorSymbol;
    TRgb braceMatch;
};

// Every text colour reads at 4.5:1 or more on every background it can sit on: the paper, the
// caret line and the line marks.
inline constexpr TEditorFrameLook kLightFrame{
    kWhite, kBlack, {244, 245, 247}, {105, 110, 120}, {246, 247, 252}, kBlack,
    kSelectionForeground, kSelectionBackground, kRightMarginColour, kBlockLineColour, kUrlColour,
    {255, 248, 212}, {255, 241, 190}, {230, 150, 0}, {255, 238, 238}, {210, 30, 30}, {0, 120, 0}};

inline constexpr TEditorFrameLook kDarkFrame{
    kDarkPaper, kDarkText, {40, 42, 46}, {150, 156, 166}, {42, 44, 50}, {235, 235, 235},
    kWhite, {38, 79, 120}, {60, 62, 68}, {80, 84, 92}, {120, 180, 255},
    {55, 46, 14}, {66, 54, 10}, {240, 170, 40}, {70, 30, 34}, {240, 80, 80}, {120, 230, 120}};

constexpr TStyleLook ThemedStyleLook(TStyle style, bool dark) {
    return dark ? DarkStyleLook(style) : StyleLook(style);
}

}  // namespace korvane::workbench
