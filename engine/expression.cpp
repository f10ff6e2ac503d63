// Expressions: the innermost parenthesised piece is evaluated and written back into the text
// until none is left; the flat rest is evaluated strictly left to right.
#include <cmath>

#include "engine/execute.h"
#include "engine/number_text.h"
#include "engine/rewrite_budget.h"
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

// One step of a flat expression. "%", "\" and "^" split operands but compute nothing: the
// step keeps the result so far. Returns false for an arithmetic error.
bool ApplyOperator(std::string& result, const std::string& right, char op, bool firstStep) {
    if (op == '&') {
        result += right;
        return true;
    }
    if (op == '%' || op == '\\' || op == '^') {
        if (firstStep) result.clear();
        return true;
    }
    const double a = LenientNumber(result);
    const double b = LenientNumber(right);
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
    result = FormatNumber(value);
    return true;
}

}  // namespace

TValue TExecute::EvaluateExpression(std::string_view source) {
    std::string text = StripBlanks(source);
    TRewriteBudget budget(text);
    for (;;) {
        const size_t close = text.find(')');
        if (close == std::string::npos) return EvaluateFlat(text);
        if (!budget.Spend(text.size())) return {std::string(), false};
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
            if (!recognised) return {EvaluateFlat(text).text, false};
            if (!call.ok) return {call.value, false};
            replacement = std::move(call.value);
        } else {
            TValue inner = EvaluateFlat(std::string_view(text).substr(open + 1, close - open - 1));
            if (!inner.ok) return inner;
            replacement = std::move(inner.text);
        }
        text.replace(pieceStart, close - pieceStart + 1, replacement);
    }
}

TValue TExecute::EvaluateFlat(std::string_view source) {
    const std::string_view text = TrimView(source);
    std::string result;
    std::string operand;
    char pendingOperator = 0;
    bool firstStep = true;
    bool inQuote = false;
    bool ok = true;
    auto takeOperand = [&]() {
        std::string value = ResolveOperand(TrimView(operand));
        if (pendingOperator == 0) {
            result = std::move(value);
        } else {
            if (!ApplyOperator(result, value, pendingOperator, firstStep)) ok = false;
            firstStep = false;
        }
        operand.clear();
    };
    for (char c : text) {
        if (c == '"') inQuote = !inQuote;
        if (!inQuote && IsOperator(c)) {
            takeOperand();
            pendingOperator = c;
        } else {
            operand.push_back(c);
        }
    }
    takeOperand();
    return {ok ? std::move(result) : std::string(), ok};
}

std::string TExecute::ResolveOperand(std::string_view text) {
    if (TControlBinding* binding = m_host.Binding();
        binding && binding->WindowVisible() && binding->HasControls()) {
        std::string value;
        if (binding->Read(*this, text, value)) return value;
    }
    if (auto number = ParseNumber(text)) return FormatNumber(*number);
    if (!text.empty() && text.front() == '"' && text.back() == '"') {
        return text.size() >= 2 ? std::string(text.substr(1, text.size() - 2)) : std::string();
    }
    if (const std::string* value = m_variables.Find(text)) return *value;
    return std::string();
}

}  // namespace korvane::engine
