// Expressions: the innermost parenthesised piece is evaluated and written back into the text
// until none is left; the flat rest is evaluated strictly left to right. What is written back
// is a placeholder for the value (see TValueSlots), so values never become script text.
#include "engine/execute.h"
#include "engine/flat_expression.h"
#include "engine/number_text.h"
#include "engine/rewrite_budget.h"
#include "engine/text_limit.h"
#include "engine/text_utils.h"

namespace korvane::engine {

TValue TExecute::EvaluateExpression(std::string_view source) {
    if (const TCompiledExpression* prepared = PreparedArgument(source)) return RunCompiled(*prepared);
    // Argument texts mostly hold no blank or control byte at all: nothing to strip then.
    if (HoldsBlankOrControl(source)) return EvaluateStripped(StripBlanks(source));
    return EvaluateStripped(source);
}

TValue TExecute::EvaluateStripped(std::string_view text) {
    if (const TCompiledExpression* compiled = CompiledFor(text)) return RunCompiled(*compiled);
    return Rewrite(std::string(text));
}

TValue TExecute::Rewrite(std::string text) {
    TEvaluationScope scope(m_slots, m_evaluationDepth, text);
    TRewriteBudget budget(text);
    for (;;) {
        const auto [open, close] = FindInnermostParentheses(text);
        if (close == std::string::npos) return EvaluateFlat(text);
        if (!budget.Spend(text.size())) return {std::string(), false};
        PollStop(text.size());
        if (open == std::string::npos) return {EvaluateFlat(text).text, false};
        size_t pieceStart = open;
        std::string replacement;
        if (open > 0 && !IsGroupingCharacter(text[open - 1])) {
            pieceStart = CallNameStart(text, open);
            bool recognised = false;
            TFunctionResult call =
                EvaluateFunction(std::string_view(text).substr(pieceStart, close - pieceStart + 1),
                                 recognised);
            if (!recognised) {
                NoteEvaluationProblem(
                    "no function " +
                    m_slots.Expand(std::string_view(text).substr(pieceStart, open - pieceStart)) +
                    " with these arguments");
                return {EvaluateFlat(text).text, false};
            }
            if (!call.ok) return {call.value, false};
            replacement = call.literal ? m_slots.Add(TSlotKind::Literal, std::move(call.value))
                                       : WriteBackResult(std::move(call.value));
        } else {
            TValue inner = EvaluateFlat(std::string_view(text).substr(open + 1, close - open - 1));
            if (!inner.ok) return inner;
            replacement = m_slots.Add(TSlotKind::Operand, std::move(inner.text));
        }
        text.replace(pieceStart, close - pieceStart + 1, replacement);
    }
}

TValue TExecute::EvaluateFlat(std::string_view text) {
    TFlatValue result;
    TFlatValue operand;
    bool firstStep = true;
    bool ok = true;
    ForEachOperand(text, [&](std::string_view operandText, char op) {
        TFlatValue& target = op == 0 ? result : operand;
        ResolveInto(operandText, target.text, target.exact, target.number);
        if (op != 0) {
            if (!ApplyOperator(result, operand, op, firstStep)) ok = false;
            firstStep = false;
        }
    });
    if (!ok) NoteEvaluationProblem("cannot compute: division by zero or overflow");
    return {ok ? std::move(result.text) : std::string(), ok};
}

std::string TExecute::ResolveOperand(std::string_view text) {
    std::string value;
    bool exact = false;
    double number = 0;
    ResolveInto(text, value, exact, number);
    return value;
}

// Functions hand back texts in double quotes and numbers bare.
std::string TExecute::WriteBackResult(std::string result) {
    if (result.size() >= 2 && result.front() == '"' && result.back() == '"') {
        return m_slots.Add(TSlotKind::Literal, result.substr(1, result.size() - 2));
    }
    return m_slots.Add(TSlotKind::Operand, std::move(result));
}

void TExecute::ResolveInto(std::string_view text, std::string& value, bool& exact,
                           double& number) {
    if (m_slots.Holds(text)) {
        ResolveWrittenBack(text, value, exact, number);
    } else {
        ResolvePlain(text, value, exact, number);
    }
}

void TExecute::ResolveWrittenBack(std::string_view text, std::string& value, bool& exact,
                                  double& number) {
    const TSlot* slot = m_slots.Whole(text);
    if (slot && slot->kind == TSlotKind::Literal) {
        exact = false;
        value = slot->text;
    } else if (slot && slot->kind == TSlotKind::Operand) {
        ResolvePlain(slot->text, value, exact, number);
    } else if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        // A value inside a literal of the script's reads there as the bare text it once was.
        exact = false;
        value = m_slots.Expand(text.substr(1, text.size() - 2));
    } else {
        ResolvePlain(m_slots.Expand(text), value, exact, number);
    }
}

void TExecute::ResolvePlain(std::string_view text, std::string& value, bool& exact,
                            double& number) {
    exact = false;
    if (ControlsVisible() && m_host.Binding()->Read(*this, text, value)) return;
    if (auto parsed = ParseNumber(text)) {
        value = FormatNumber(*parsed, exact);
        number = *parsed;
        return;
    }
    if (!text.empty() && text.front() == '"' && text.back() == '"') {
        value.assign(text.size() >= 2 ? text.substr(1, text.size() - 2) : std::string_view());
        return;
    }
    const std::string* stored = m_variables.Find(text);
    value.assign(stored ? std::string_view(*stored) : std::string_view());
}

}  // namespace korvane::engine
