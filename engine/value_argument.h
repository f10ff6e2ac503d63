#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "engine/number_text.h"

namespace korvane::engine {

// One evaluated argument of a function that takes values. Counts and positions are mostly
// worked out by arithmetic and read back as integers, so a whole number is kept as the number
// and its text written only when the function asks for the text. A text that stays where it
// is for the whole call (a literal of the script, a variable the call cannot change) is read
// where it stands and copied only when the function wants a text of its own.
class TArgument {
public:
    TArgument() = default;
    explicit TArgument(std::string&& text) : m_text(std::move(text)) {}

    // The text to read.
    std::string_view View() {
        if (m_view) return *m_view;
        return Text();
    }
    // A text of the argument's own, which the function may change or take over.
    std::string& Text() {
        if (m_view) {
            m_text.assign(*m_view);
            m_view = nullptr;
        } else if (m_pending) {
            WriteWholeInto(m_number, m_text);
            m_pending = false;
        }
        return m_text;
    }
    // The argument as StrictInt reads its text.
    std::optional<int32_t> Int() const {
        if (m_view) return StrictInt(*m_view);
        if (!m_pending) return StrictInt(m_text);
        if (m_number < INT32_MIN || m_number > INT32_MAX) return std::nullopt;
        return static_cast<int32_t>(m_number);
    }
    // A whole number for which IsWholeNumber holds: its text is its digits.
    void SetWhole(double number) {
        m_number = number;
        m_pending = true;
        m_view = nullptr;
    }
    // A text that outlives the call unchanged.
    void SetView(const std::string& text) {
        m_view = &text;
        m_pending = false;
    }
    // Where a text value is written, its buffer reused.
    std::string& TextBuffer() {
        m_pending = false;
        m_view = nullptr;
        return m_text;
    }
    // A long text's memory goes back at once; short buffers stay for the next call.
    void ReleaseOver(size_t bytes) {
        m_view = nullptr;
        if (m_text.capacity() > bytes) std::string().swap(m_text);
    }

private:
    std::string m_text;
    const std::string* m_view = nullptr;
    double m_number = 0;
    bool m_pending = false;
};

// A function's arguments, in a list the caller keeps.
using TArguments = std::span<TArgument>;

}  // namespace korvane::engine
