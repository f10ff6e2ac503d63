#include "engine/execute.h"
#include "engine/text_utils.h"

namespace korvane::engine {

TFunctionResult TExecute::EvaluateFunction(std::string_view callText, bool& recognised) {
    std::string name;
    std::vector<std::string> arguments;
    SplitCall(callText, name, arguments);
    for (const TFunctionRow& row : FunctionTable()) {
        if (row.name != name || row.argumentCount != arguments.size()) continue;
        const TFunctionHandler& handler = m_dispatch.Handler(row.id);
        if (!handler) continue;
        TFunctionResult result = handler(*this, arguments);
        recognised = result.recognised;
        return result;
    }
    recognised = false;
    return {};
}

bool TExecute::EvaluateArguments(const std::vector<std::string>& texts,
                                 std::vector<std::string>& values) {
    values.assign(texts.size(), std::string());
    for (size_t i = 0; i < texts.size(); ++i) {
        TValue value = EvaluateExpression(texts[i]);
        values[i] = std::move(value.text);
        if (!value.ok) return false;
    }
    return true;
}

}  // namespace korvane::engine
