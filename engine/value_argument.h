#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "engine/number_text.h"

namespace korvane::engine {

// One evaluated argument of a function that takes values. Counts and positions are mostly
// worked out by arithmetic and read back as integers, so a whole number is kept as the number
// and its text written only when the function asks for the text.
class TArgument {
public:
    TArgument() = default;
    explicit TArgument(std::string&& text) : m_text(std::move(text)) {}

    // The text, written out first if the argument holds a whole number not yet written.
    std::string& Text() {
        if (m_pending) WritePendingText();
        return m_text;
    }
    // The argument as StrictInt reads its text.
    std::optional<int32_t> Int() const {
        if (!m_pending) return StrictInt(m_text);
        if (m_number < INT32_MIN || m_number > INT32_MAX) return std::nullopt;
        return static_cast<int32_t>(m_number);
    }
    // A whole number for which IsWholeNumber holds: its text is its digits.
    void SetWhole(double number) {
        m_number = number;
        m_pending = true;
    }
    // Where a text value is written, its buffer reused.
    std::string& TextBuffer() {
        m_pending = false;
        return m_text;
    }
    // A long text's memory goes back at once; short buffers stay for the next call.
    void ReleaseOver(size_t bytes) {
        if (m_text.capacity() > bytes) std::string().swap(m_text);
    }

private:
    void WritePendingText() {
        WriteWholeInto(m_number, m_text);
        m_pending = false;
    }

    std::string m_text;
    double m_number = 0;
    bool m_pending = false;
};

// A function's arguments, in a list the caller keeps.
using TArguments = std::span<TArgument>;

}  // namespace korvane::engine
