// Conditions: parenthesised comparisons joined by "&&" or "||". The connective nearest after
// the first comparison decides how every later comparison of the same level combines.
#include <array>

#include "engine/execute.h"
#include "engine/nesting_guard.h"
#include "engine/number_text.h"
#include "engine/rewrite_budget.h"
#include "engine/text_utils.h"

namespace korvane::engine {

namespace {

enum class TComparisonOp { Equal, Greater, Less, GreaterOrEqual, LessOrEqual, Different };

struct TOperatorEntry {
    std::string_view text;
    TComparisonOp op;
};

constexpr std::array<TOperatorEntry, 6> kComparisons = {{
    {"==", TComparisonOp::Equal},
    {">>", TComparisonOp::Greater},
    {"<<", TComparisonOp::Less},
    {">=", TComparisonOp::GreaterOrEqual},
    {"<=", TComparisonOp::LessOrEqual},
    {"<>", TComparisonOp::Different},
}};

enum class TConnective { None, And, Or };

// The first table entry found anywhere in the text wins, not the leftmost occurrence.
const TOperatorEntry* FindComparison(std::string_view text, size_t& position) {
    for (const TOperatorEntry& entry : kComparisons) {
        position = FindOutsideQuotes(text, entry.text);
        if (position != std::string_view::npos) return &entry;
    }
    return nullptr;
}

double CharacterSum(std::string_view text) {
    double sum = 0;
    for (char c : text) sum += static_cast<unsigned char>(c);
    return sum;
}

// Both numbers when both read as numbers, else each side's sum of character codes.
void CompareNumbers(const std::string& left, const std::string& right, double& a, double& b) {
    auto x = ParseNumber(left);
    auto y = ParseNumber(right);
    if (x && y) {
        a = *x;
        b = *y;
    } else {
        a = CharacterSum(left);
        b = CharacterSum(right);
    }
}

bool Compare(TComparisonOp op, const std::string& left, const std::string& right) {
    double a = 0, b = 0;
    switch (op) {
        case TComparisonOp::Equal: return left == right;
        case TComparisonOp::Different: return left != right;
        default: break;
    }
    CompareNumbers(left, right, a, b);
    switch (op) {
        case TComparisonOp::Greater: return a > b;
        case TComparisonOp::Less: return a < b;
        case TComparisonOp::GreaterOrEqual: return left == right || a > b;
        case TComparisonOp::LessOrEqual: return left == right || a < b;
        default: return false;
    }
}

TConnective FirstConnective(std::string_view rest) {
    const size_t andAt = FindOutsideQuotes(rest, "&&");
    const size_t orAt = FindOutsideQuotes(rest, "||");
    if (andAt == std::string_view::npos && orAt == std::string_view::npos) return TConnective::None;
    return andAt < orAt ? TConnective::And : TConnective::Or;
}

// End of the group that starts with the run of "(" at `runStart`: the ")" balancing its first.
size_t BalancingClose(const std::string& text, size_t runStart) {
    int depth = 0;
    bool inQuote = false;
    for (size_t i = runStart; i < text.size(); ++i) {
        if (text[i] == '"') inQuote = !inQuote;
        if (inQuote) continue;
        if (text[i] == '(') ++depth;
        if (text[i] == ')' && --depth == 0) return i;
    }
    return text.size() - 1;
}

}  // namespace

TValue TExecute::EvaluateComparison(std::string_view text, bool& isComparison, bool& result) {
    isComparison = false;
    size_t position = 0;
    if (const TOperatorEntry* entry = FindComparison(text, position)) {
        TValue left = EvaluateExpression(TrimView(text.substr(0, position)));
        TValue right = EvaluateExpression(TrimView(text.substr(position + 2)));
        if (left.ok && right.ok) {
            isComparison = true;
            result = Compare(entry->op, left.text, right.text);
            return {std::string(), true};
        }
    }
    return EvaluateExpression(text);
}

bool TExecute::EvaluateCondition(std::string_view source, bool& truth) {
    TNestingGuard guard(m_depth);
    std::string text = StripBlanks(source);
    TEvaluationScope scope(m_slots, m_evaluationDepth, text);
    bool seenComparison = false;
    TConnective connective = TConnective::None;
    TRewriteBudget budget(text);
    for (;;) {
        const auto [open, close] = FindInnermostParentheses(text);
        if (close == std::string::npos) return true;
        if (!budget.Spend(text.size())) return false;
        PollStop(text.size());
        if (open == std::string::npos) return false;
        const std::string_view inner = std::string_view(text).substr(open + 1, close - open - 1);
        size_t unused = 0;
        bool isComparison = false;
        bool result = false;
        size_t pieceEnd = close;
        if (open > 0 && text[open - 1] == '(' && FindComparison(inner, unused)) {
            // A group in doubled parentheses: evaluate it whole, its own success ignored.
            size_t runStart = open - 1;
            while (runStart > 0 && text[runStart - 1] == '(') --runStart;
            pieceEnd = BalancingClose(text, runStart);
            bool groupTruth = false;
            EvaluateCondition(std::string_view(text).substr(open, pieceEnd - open + 1), groupTruth);
            isComparison = true;
            result = groupTruth;
        } else {
            TValue value = EvaluateComparison(inner, isComparison, result);
            if (!value.ok) return false;
            if (!isComparison) {
                text.replace(open, close - open + 1,
                             m_slots.Add(TSlotKind::Operand, std::move(value.text)));
                continue;
            }
        }
        if (!seenComparison) {
            truth = result;
            seenComparison = true;
            connective = FirstConnective(std::string_view(text).substr(pieceEnd + 1));
        } else if (connective == TConnective::And) {
            truth = truth && result;
        } else if (connective == TConnective::Or) {
            truth = truth || result;
        }
        text.erase(open, pieceEnd - open + 1);
    }
}

}  // namespace korvane::engine
