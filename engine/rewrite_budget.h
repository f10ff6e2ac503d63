#pragma once

#include <algorithm>
#include <cstddef>
#include <string_view>

namespace korvane::engine {

// Rewriting an expression normally takes one step per ")" in its text. A value that itself
// holds parentheses (a variable containing "(x)", say) could make the rewriting go on for
// ever; the budget ends such an evaluation as a failure instead of hanging the run.
class TRewriteBudget {
public:
    explicit TRewriteBudget(std::string_view text)
        : m_steps(static_cast<size_t>(std::count(text.begin(), text.end(), ')')) + kSlack) {}

    // False once the steps are used up or the text has grown past all reason.
    bool Spend(size_t textSize) {
        if (m_steps == 0 || textSize > kMaxTextSize) return false;
        --m_steps;
        return true;
    }

private:
    static constexpr size_t kSlack = 1000;
    static constexpr size_t kMaxTextSize = size_t{16} << 20;
    size_t m_steps;
};

}  // namespace korvane::engine
