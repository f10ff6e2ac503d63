#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "racks/form_object.h"
#include "racks/result.h"

namespace korvane::serial {

// A colour as 0xRRGGBB, or nothing for one of the desktop's own colours.
using TLayoutColor = std::optional<std::uint32_t>;

// What the terminal window takes from its layout file: the form's place, size, caption and
// style, and the look of its text view Memo1. The defaults are those of the shipped file.
struct TTerminalLayout {
    int left = 420;
    int top = 133;
    int clientWidth = 246;
    int clientHeight = 124;
    std::string caption = "Term";
    bool stayOnTop = true;
    bool sizeable = false;
    TLayoutColor formColor;

    // Memo1: it fills the client area unless it has its own rectangle.
    bool memoFillsClient = true;
    int memoLeft = 0;
    int memoTop = 0;
    int memoWidth = 246;
    int memoHeight = 124;
    TLayoutColor memoColor = 0x000000;
    TLayoutColor memoFontColor = 0x00FF00;
    int memoFontPixels = 11;
    bool memoVerticalScrollBar = true;
};

// The layout of a decoded form; fails when it has no multi-line text view named Memo1.
racks::TResult<TTerminalLayout> TerminalLayoutFromForm(const racks::TFormObject& root);
// The layout read from a rack file such as "terminal.res".
racks::TResult<TTerminalLayout> LoadTerminalLayout(const std::filesystem::path& file);

}  // namespace korvane::serial
