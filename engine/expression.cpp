// Expressions: the innermost parenthesised piece is evaluated and written back into the text
// until none is left; the flat rest is evaluated strictly left to right. What is written back
// is a placeholder for the value (see TValueSlots), so values never become script text.
#include <cmath>

#include "engine/execute.h"
#include "engine/number_text.h"
#include "engine/rewrite_budget.h"
#include "engine/text_limit.h"
#include "engine/text_utils.h"

namespace korvane::engine {

namespace {

bool IsOperator(char c) {
    switch (c) {
        case '%': case '&': case '*': case '+': case '-': case '/': case '\\': case '^':
            return true;
        default:
            return false;
    }
}

// A "(" after one of these (or at the start) groups; after anything else it opens a call.
bool IsGroupingCharacter(char c) { return c == ' ' || c == '(' || c == ')' || IsOperator(c); }
bool IsNameBoundary(char c) { return c == ',' || IsGroupingCharacter(c); }

// A value in a flat expression. A whole number below 15 digits also keeps its number: its
// text reads back exactly, so the next operator need not parse the text again.
struct TFlatValue {
    std::string text;
    bool whole = false;
    double number = 0;

    void SetNumber(double value) {
        if (std::fabs(value) < 1e15 && value == std::trunc(value)) {
            whole = true;
            number = value;
        } else {
            whole = false;
        }
        text = FormatNumber(value);
    }
    double Lenient() const { return whole ? number : LenientNumber(text); }
};

// One step of a flat expression. "%", "\" and "^" split operands but compute nothing: the
// step keeps the result so far. Returns false for an arithmetic error.
bool ApplyOperator(TFlatValue& result, const TFlatValue& right, char op, bool firstStep) {
    if (op == '&') {
        CheckTextSize(result.text.size() + right.text.size());
        result.text += right.text;
        result.whole = false;
        return true;
    }
    if (op == '%' || op == '\\' || op == '^') {
        if (firstStep) result = TFlatValue{};
        return true;
    }
    const double a = result.Lenient();
    const double b = right.Lenient();
    double value = 0;
    switch (op) {
        case '+': value = a + b; break;
        case '-': value = a - b; break;
        case '*': value = a * b; break;
        default:
            if (b == 0) return false;
            value = a / b;
    }
    // An overflow is an arithmetic error too, not a number to write back.
    if (!std::isfinite(value)) return false;
    result.SetNumber(value);
    return true;
}

}  // namespace

TValue TExecute::EvaluateExpression(std::string_view source) {
    return EvaluateStripped(StripBlanks(source));
}

TValue TExecute::EvaluateStripped(std::string text) {
    TEvaluationScope scope(m_slots, m_evaluationDepth, text);
    TRewriteBudget budget(text);
    for (;;) {
        const size_t close = text.find(')');
        if (close == std::string::npos) return EvaluateFlat(text);
        if (!budget.Spend(text.size())) return {std::string(), false};
        PollStop(text.size());
        const size_t open = close == 0 ? std::string::npos : text.rfind('(', close - 1);
        if (open == std::string::npos) return {EvaluateFlat(text).text, false};
        size_t pieceStart = open;
        std::string replacement;
        if (open > 0 && !IsGroupingCharacter(text[open - 1])) {
            // The character just before "(" belongs to the name even when it is a comma.
            pieceStart = open - 1;
            while (pieceStart > 0 && !IsNameBoundary(text[pieceStart - 1])) --pieceStart;
            bool recognised = false;
            TFunctionResult call =
                EvaluateFunction(std::string_view(text).substr(pieceStart, close - pieceStart + 1),
                                 recognised);
            if (!recognised) {
                NoteEvaluationProblem("no function " + text.substr(pieceStart, open - pieceStart) +
                                      " with these arguments");
                return {EvaluateFlat(text).text, false};
            }
            if (!call.ok) return {call.value, false};
            replacement = WriteBackResult(std::move(call.value));
        } else {
            TValue inner = EvaluateFlat(std::string_view(text).substr(open + 1, close - open - 1));
            if (!inner.ok) return inner;
            replacement = m_slots.Add(TSlotKind::Operand, std::move(inner.text));
        }
        text.replace(pieceStart, close - pieceStart + 1, replacement);
    }
}

TValue TExecute::EvaluateFlat(std::string_view source) {
    const std::string_view text = TrimView(source);
    TFlatValue result;
    TFlatValue operand;
    char pendingOperator = 0;
    bool firstStep = true;
    bool inQuote = false;
    bool ok = true;
    size_t start = 0;
    auto takeOperand = [&](size_t end) {
        TFlatValue& target = pendingOperator == 0 ? result : operand;
        ResolveInto(TrimView(text.substr(start, end - start)), target.text, target.whole,
                    target.number);
        if (pendingOperator != 0) {
            if (!ApplyOperator(result, operand, pendingOperator, firstStep)) ok = false;
            firstStep = false;
        }
    };
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') inQuote = !inQuote;
        if (!inQuote && IsOperator(c)) {
            takeOperand(i);
            pendingOperator = c;
            start = i + 1;
        }
    }
    takeOperand(text.size());
    if (!ok) NoteEvaluationProblem("cannot compute: division by zero or overflow");
    return {ok ? std::move(result.text) : std::string(), ok};
}

std::string TExecute::ResolveOperand(std::string_view text) {
    std::string value;
    bool whole = false;
    double number = 0;
    ResolveInto(text, value, whole, number);
    return value;
}

// Functions hand back texts in double quotes and numbers bare.
std::string TExecute::WriteBackResult(std::string result) {
    if (result.size() >= 2 && result.front() == '"' && result.back() == '"') {
        return m_slots.Add(TSlotKind::Literal, result.substr(1, result.size() - 2));
    }
    return m_slots.Add(TSlotKind::Operand, std::move(result));
}

void TExecute::ResolveInto(std::string_view text, std::string& value, bool& whole,
                           double& number) {
    if (m_slots.Holds(text)) {
        ResolveWrittenBack(text, value, whole, number);
    } else {
        ResolvePlain(text, value, whole, number);
    }
}

void TExecute::ResolveWrittenBack(std::string_view text, std::string& value, bool& whole,
                                  double& number) {
    const TSlot* slot = m_slots.Whole(text);
    if (slot && slot->kind == TSlotKind::Literal) {
        whole = false;
        value = slot->text;
    } else if (slot && slot->kind == TSlotKind::Operand) {
        ResolvePlain(slot->text, value, whole, number);
    } else if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        // A value inside a literal of the script's reads there as the bare text it once was.
        whole = false;
        value = m_slots.Expand(text.substr(1, text.size() - 2));
    } else {
        ResolvePlain(m_slots.Expand(text), value, whole, number);
    }
}

void TExecute::ResolvePlain(std::string_view text, std::string& value, bool& whole,
                            double& number) {
    whole = false;
    if (TControlBinding* binding = m_host.Binding();
        binding && binding->WindowVisible() && binding->HasControls()) {
        if (binding->Read(*this, text, value)) return;
    }
    if (auto parsed = ParseNumber(text)) {
        value = FormatNumber(*parsed);
        whole = std::fabs(*parsed) < 1e15 && *parsed == std::trunc(*parsed);
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
