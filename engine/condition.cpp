// Conditions: parenthesised comparisons joined by "&&" or "||". The connective nearest after
// the first comparison decides how every later comparison of the same level combines.
#include <array>
#include <optional>

#include "engine/condition_plan.h"
#include "engine/execute.h"
#include "engine/nesting_guard.h"
#include "engine/number_text.h"
#include "engine/rewrite_budget.h"
#include "engine/text_utils.h"

namespace korvane::engine {

namespace {

// One side of a comparison as the comparison reads it.
struct TConditionSide {
    std::string_view text;
    bool exact = false;  // `number` is what the text reads as
    double number = 0;
};

TConditionSide Side(const TValue& value) { return {value.text, value.exact, value.number}; }

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

// A side's number, taken from the value when it came with one.
std::optional<double> SideNumber(const TConditionSide& side) {
    if (side.exact) return side.number;
    return ParseNumber(side.text);
}

// Both numbers when both read as numbers, else each side's sum of character codes.
void CompareNumbers(const TConditionSide& left, const TConditionSide& right, double& a, double& b) {
    auto x = SideNumber(left);
    auto y = SideNumber(right);
    if (x && y) {
        a = *x;
        b = *y;
    } else {
        a = CharacterSum(left.text);
        b = CharacterSum(right.text);
    }
}

bool Compare(TComparisonOp op, const TConditionSide& left, const TConditionSide& right) {
    double a = 0, b = 0;
    switch (op) {
        case TComparisonOp::Equal: return left.text == right.text;
        case TComparisonOp::Different: return left.text != right.text;
        default: break;
    }
    CompareNumbers(left, right, a, b);
    switch (op) {
        case TComparisonOp::Greater: return a > b;
        case TComparisonOp::Less: return a < b;
        case TComparisonOp::GreaterOrEqual: return left.text == right.text || a > b;
        case TComparisonOp::LessOrEqual: return left.text == right.text || a < b;
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

// The comparisons of one level, combined: the connective nearest after the first decides how
// every later one joins it.
class TTruth {
public:
    // `connectiveAfter` is asked for only at the first comparison.
    template <typename TConnectiveAfter>
    void Add(bool result, bool& truth, TConnectiveAfter&& connectiveAfter) {
        if (!m_seen) {
            truth = result;
            m_seen = true;
            m_connective = connectiveAfter();
        } else if (m_connective == TConnective::And) {
            truth = truth && result;
        } else if (m_connective == TConnective::Or) {
            truth = truth || result;
        }
    }

private:
    bool m_seen = false;
    TConnective m_connective = TConnective::None;
};

// Conditions longer than this are rare; the rewriting takes them.
constexpr size_t kMaxPlannedText = 1024;
constexpr size_t kMaxConditionPlans = 8192;

}  // namespace

// Follows the rewriting of the condition over its text, refusing any shape where a group's
// outcome could change the text a later group is read from.
std::unique_ptr<TConditionPlan> TExecute::PlanCondition(std::string_view source) {
    std::string text = StripBlanks(source);
    if (text.size() > kMaxPlannedText || text.find(TValueSlots::kMarker) != std::string::npos) {
        return nullptr;
    }
    auto plan = std::make_unique<TConditionPlan>();
    plan->textSize = text.size();
    for (;;) {
        const auto [open, close] = FindInnermostParentheses(text);
        if (close == std::string::npos) return plan;
        if (open == std::string::npos) {
            plan->endsFalse = true;
            return plan;
        }
        // Only groups with no "(" before them: nothing encloses them.
        if (FindOutsideQuotes(std::string_view(text).substr(0, open), "(") != std::string_view::npos) {
            return nullptr;
        }
        TConditionPlan::TGroup group;
        group.inner = text.substr(open + 1, close - open - 1);
        size_t position = 0;
        if (const TOperatorEntry* entry = FindComparison(group.inner, position)) {
            group.comparison = true;
            group.op = entry->op;
            group.left = std::string(TrimView(std::string_view(group.inner).substr(0, position)));
            group.right = std::string(TrimView(std::string_view(group.inner).substr(position + 2)));
            auto form = [this](const std::string& side) {
                return CompiledFor(HoldsBlankOrControl(side) ? StripBlanks(side) : side);
            };
            group.leftForm = form(group.left);
            group.rightForm = form(group.right);
            group.connectiveAfter = FirstConnective(std::string_view(text).substr(close + 1));
        }
        text.erase(open, close - open + 1);
        plan->groups.push_back(std::move(group));
    }
}

const TConditionPlan* TExecute::ConditionPlanFor(std::string_view source) {
    if (m_evaluator != TEvaluator::Compiled) return nullptr;
    auto it = m_conditionPlans.find(source);
    if (it != m_conditionPlans.end()) return it->second.get();
    if (m_conditionPlans.size() >= kMaxConditionPlans) return nullptr;
    auto plan = PlanCondition(source);
    const TConditionPlan* result = plan.get();
    m_conditionPlans.emplace(std::string(source), std::move(plan));
    return result;
}

bool TExecute::EvaluateLineCondition(int index, std::string_view source, bool& truth) {
    if (index < 0 || index >= static_cast<int>(m_lines.size())) return EvaluateCondition(source, truth);
    const std::string& line = m_lines[static_cast<size_t>(index)].trimmed;
    TLineCache* cache = CacheFor(line, index);
    // Only a text that is part of the line itself; a handler may pass one of its own.
    const bool inLine = source.data() >= line.data() &&
                        source.data() + source.size() <= line.data() + line.size();
    if (!cache || !inLine) return EvaluateCondition(source, truth);
    const size_t start = static_cast<size_t>(source.data() - line.data());
    if (!cache->conditionReady) {
        cache->conditionPlan = ConditionPlanFor(source);
        cache->conditionStart = start;
        cache->conditionSize = source.size();
        cache->conditionReady = true;
    }
    const bool same = cache->conditionStart == start && cache->conditionSize == source.size();
    if (cache->conditionPlan && same) return RunConditionPlan(*cache->conditionPlan, truth);
    return EvaluateCondition(source, truth);
}

bool TExecute::RunConditionPlan(const TConditionPlan& plan, bool& truth) {
    TNestingGuard guard(m_depth);
    std::string noText;
    TEvaluationScope scope(m_slots, m_evaluationDepth, noText);
    TTruth combined;
    auto evaluate = [this](const TCompiledExpression* form, const std::string& text) {
        return form ? RunCompiled(*form) : EvaluateExpression(text);
    };
    const bool controls = ControlsVisible();
    // A side that is one plain operand is read where it stands, with no copy made; a
    // variable's number comes from the store, which reads it once.
    auto plainSide = [&](const TCompiledExpression* form, TConditionSide& side) {
        if (controls || !form || !form->pieces.empty() || form->unbalanced ||
            form->flat.operands.size() != 1) {
            return false;
        }
        const TCompiledOperand& operand = form->flat.operands[0];
        const std::string* text = PlainText(operand);
        if (!text) return false;
        side = {*text, false, 0};
        if (operand.kind == TCompiledOperand::TKind::Number) {
            side.exact = operand.exact;
            side.number = operand.number;
        } else if (operand.kind == TCompiledOperand::TKind::Variable) {
            // The hint PlainText just used makes this lookup one comparison.
            const TVariableStore::TEntry* entry =
                m_variables.FindEntry(operand.value, operand.variableHint);
            const std::optional<double> number =
                entry ? TVariableStore::StrictNumberOf(*entry) : std::nullopt;
            side.exact = number.has_value();
            side.number = number.value_or(0);
        }
        return true;
    };
    for (const TConditionPlan::TGroup& group : plan.groups) {
        PollStop(plan.textSize);
        bool result = false;
        bool isComparison = false;
        TConditionSide leftSide;
        TConditionSide rightSide;
        if (group.comparison && plainSide(group.leftForm, leftSide) &&
            plainSide(group.rightForm, rightSide)) {
            combined.Add(Compare(group.op, leftSide, rightSide), truth,
                         [&group] { return group.connectiveAfter; });
            continue;
        }
        if (group.comparison) {
            TValue left = evaluate(group.leftForm, group.left);
            TValue right = evaluate(group.rightForm, group.right);
            if (left.ok && right.ok) {
                isComparison = true;
                result = Compare(group.op, Side(left), Side(right));
            }
        }
        if (!isComparison) {
            // Not a comparison after all: its value would stand in the text where nothing
            // reads it again; only its failure counts.
            if (!EvaluateExpression(group.inner).ok) return false;
            continue;
        }
        combined.Add(result, truth, [&group] { return group.connectiveAfter; });
    }
    return !plan.endsFalse;
}

TValue TExecute::EvaluateComparison(std::string_view text, bool& isComparison, bool& result) {
    isComparison = false;
    size_t position = 0;
    if (const TOperatorEntry* entry = FindComparison(text, position)) {
        TValue left = EvaluateExpression(TrimView(text.substr(0, position)));
        TValue right = EvaluateExpression(TrimView(text.substr(position + 2)));
        if (left.ok && right.ok) {
            isComparison = true;
            result = Compare(entry->op, Side(left), Side(right));
            return {std::string(), true};
        }
    }
    return EvaluateExpression(text);
}

bool TExecute::EvaluateCondition(std::string_view source, bool& truth) {
    if (const TConditionPlan* plan = ConditionPlanFor(source)) return RunConditionPlan(*plan, truth);
    TNestingGuard guard(m_depth);
    std::string text = StripBlanks(source);
    TEvaluationScope scope(m_slots, m_evaluationDepth, text);
    TTruth combined;
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
        combined.Add(result, truth, [&] {
            return FirstConnective(std::string_view(text).substr(pieceEnd + 1));
        });
        text.erase(open, pieceEnd - open + 1);
    }
}

}  // namespace korvane::engine
