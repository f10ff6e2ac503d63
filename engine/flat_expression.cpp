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
    double value = 0;
    if (!ArithmeticStep(result.Lenient(), right.Lenient(), op, value)) return false;
    result.SetNumber(value);
    return true;
}

}  // namespace korvane::engine
