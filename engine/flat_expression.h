#pragma once

#include <cmath>
#include <cstddef>
#include <string>
#include <string_view>

#include "engine/number_text.h"
#include "engine/text_utils.h"
#include "engine/variable_store.h"

namespace korvane::engine {

// What both evaluators share about texts without parentheses: which characters split
// operands, where a call's name begins, and what each operator step computes.

inline bool IsOperator(char c) {
    switch (c) {
        case '%': case '&': case '*': case '+': case '-': case '/': case '\\': case '^':
            return true;
        default:
            return false;
    }
}

// A "(" after one of these (or at the start) groups; after anything else it opens a call.
inline bool IsGroupingCharacter(char c) {
    return c == ' ' || c == '(' || c == ')' || IsOperator(c);
}
inline bool IsNameBoundary(char c) { return c == ',' || IsGroupingCharacter(c); }

// Where the name of the call whose "(" is at `open` begins. The character just before the
// "(" belongs to the name even when it is a comma.
inline size_t CallNameStart(std::string_view text, size_t open) {
    size_t start = open - 1;
    while (start > 0 && !IsNameBoundary(text[start - 1])) --start;
    return start;
}

// Calls `take(operand, op)` for each operand of a flat text, trimmed, with the operator that
// comes before it (0 for the first). Operators inside double quotes and a sign that belongs
// to a number's exponent split nothing.
template <typename TTake>
void ForEachOperand(std::string_view source, TTake&& take) {
    const std::string_view text = TrimView(source);
    bool inQuote = false;
    size_t start = 0;
    char op = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') inQuote = !inQuote;
        if (!inQuote && IsOperator(c) && !IsExponentSign(text, start, i)) {
            take(TrimView(text.substr(start, i - start)), op);
            op = c;
            start = i + 1;
        }
    }
    take(TrimView(text.substr(start)), op);
}

// A value in a flat expression: its text and, when `exact`, the number that text reads as, so
// the next operator need not parse the text. A value just read from a variable names its
// entry, which keeps that number once worked out.
struct TFlatValue {
    std::string text;
    bool exact = false;
    double number = 0;
    const TVariableStore::TEntry* variable = nullptr;

    void SetNumber(double value) {
        FormatNumberInto(value, exact, text);
        number = value;
        variable = nullptr;
    }
    double Lenient() const {
        if (exact) return number;
        return variable ? TVariableStore::NumberOf(*variable) : LenientNumber(text);
    }
};

// a + - * or / b; false for division by zero and for an overflow, which is an arithmetic
// error too, not a number to write back.
inline bool ArithmeticStep(double a, double b, char op, double& value) {
    switch (op) {
        case '+': value = a + b; break;
        case '-': value = a - b; break;
        case '*': value = a * b; break;
        default:
            if (b == 0) return false;
            value = a / b;
    }
    return std::isfinite(value);
}

// One step of a flat expression. "%", "\" and "^" split operands but compute nothing: the
// step keeps the result so far. Returns false for an arithmetic error.
bool ApplyOperator(TFlatValue& result, const TFlatValue& right, char op, bool firstStep);

}  // namespace korvane::engine
