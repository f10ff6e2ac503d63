#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvane::engine {

// How a value written back into an expression reads from then on.
enum class TSlotKind {
    Literal,     // a function's text result: its text exactly
    Operand,     // a group's value, a number result, a plain value in a condition: read once
                 // as a number, a literal or a variable name
    ScriptByte,  // the marker byte where the script's own text holds it
};

struct TSlot {
    TSlotKind kind;
    std::string text;
};

// Values the evaluator writes back into an expression stay out of its text: the text gets a
// short placeholder naming a slot here. No byte of a value is ever scanned again for
// parentheses, quotes, operators, commas or names. Script text may hold any byte, so the
// marker byte where it occurs in the script is itself moved into a slot first; a marker in the
// working text is then always a placeholder. Placeholders hold no blank, quote, parenthesis,
// comma, operator or control character, so splitting and trimming never cut one.
class TValueSlots {
public:
    static constexpr char kMarker = '\x7F';
    static constexpr size_t kPlaceholderSize = 5;

    // A placeholder for a new slot holding `text`.
    std::string Add(TSlotKind kind, std::string text);
    // The placeholder text for slot `index`, and the index a placeholder at `at` names (npos
    // when there is none). The compiled evaluator numbers its own pieces the same way.
    static std::string PlaceholderFor(size_t index);
    static size_t IndexAt(std::string_view text, size_t at);
    // Moves every marker byte of script text into a slot of its own. The caller looks for one
    // first: nearly no text holds any.
    void Protect(std::string& text);
    // The slot that the whole of `text` names, or null when the text is anything else.
    const TSlot* Whole(std::string_view text) const;
    bool Holds(std::string_view text) const {
        return !m_slots.empty() && text.find(kMarker) != std::string_view::npos;
    }
    // The text as it read before values were kept apart: text results in double quotes,
    // other values bare, script bytes as themselves.
    std::string Expand(std::string_view text) const;
    void Clear() { m_slots.clear(); }

private:
    const TSlot* At(std::string_view text, size_t at) const;
    std::vector<TSlot> m_slots;
};

// One evaluation. The outermost protects the script's text on the way in and forgets the
// kept values on the way out; nested ones (function arguments, comparison sides) share them.
class TEvaluationScope {
public:
    TEvaluationScope(TValueSlots& table, int& depth, std::string& text)
        : m_slots(table), m_depth(depth) {
        if (m_depth++ == 0 && text.find(TValueSlots::kMarker) != std::string::npos) {
            m_slots.Protect(text);
        }
    }
    ~TEvaluationScope() {
        if (--m_depth == 0) m_slots.Clear();
    }
    TEvaluationScope(const TEvaluationScope&) = delete;
    TEvaluationScope& operator=(const TEvaluationScope&) = delete;

private:
    TValueSlots& m_slots;
    int& m_depth;
};

}  // namespace korvane::engine
