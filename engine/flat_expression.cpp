#include "engine/flat_expression.h"

#include "engine/text_limit.h"

namespace korvane::engine {

bool ApplyOperator(TFlatValue& result, const TFlatValue& right, char op, bool firstStep) {
    if (op == '&') {
        CheckTextSize(result.text.size() + right.text.size());
        result.text += right.text;
        result.exact = false;
        result.variable = nullptr;
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

}  // namespace korvane::engine
