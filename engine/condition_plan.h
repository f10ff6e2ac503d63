#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace korvane::engine {

struct TCompiledExpression;

enum class TComparisonOp { Equal, Greater, Less, GreaterOrEqual, LessOrEqual, Different };
enum class TConnective { None, And, Or };

// A condition whose groups stand one after another, none inside another, worked out once
// from its text. Each group is evaluated the way the rewriting of the condition would reach
// it; since no group encloses another, what one group leaves in the text never reaches the
// next, and the connectives can be read from the script's text in advance.
struct TConditionPlan {
    struct TGroup {
        std::string inner;
        bool comparison = false;
        TComparisonOp op = TComparisonOp::Equal;
        std::string left;
        std::string right;
        // The compiled sides, or null where the rewriting evaluator takes them.
        const TCompiledExpression* leftForm = nullptr;
        const TCompiledExpression* rightForm = nullptr;
        // The first connective after the group, for the first comparison that succeeds.
        TConnective connectiveAfter = TConnective::None;
    };
    std::vector<TGroup> groups;
    bool endsFalse = false;  // a ")" without its "(" follows the groups
    size_t textSize = 0;
};

}  // namespace korvane::engine
