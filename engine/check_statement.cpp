// check(name, value, low, high[, unit]): a measurement against its limits. It logs one line,
// sets error, tells the host, and never stops the script.
#include <optional>
#include <string>
#include <vector>

#include "engine/builtins.h"
#include "engine/execute.h"
#include "engine/number_text.h"
#include "engine/text_utils.h"

namespace korvane::engine {

namespace {

constexpr const char* kUsage = "check: expects (name, value, low, high) or (name, value, low, high, unit)";
constexpr const char* kEmptyName = "check: the name is empty";
// A value that is not a number may be any text; the log shows only its start.
constexpr size_t kShownValueBytes = 64;

std::string ShownValue(const std::string& value) {
    if (value.size() <= kShownValueBytes) return value;
    return value.substr(0, kShownValueBytes) + "... (" + std::to_string(value.size()) + " bytes)";
}

// "3.31 V in [3.13, 3.47]"; an empty limit reads as no limit on that side.
std::string Measurement(const TCheckRecord& check) {
    std::string text = ShownValue(check.value);
    if (!check.unit.empty()) text += " " + check.unit;
    text += " in [" + (check.low.empty() ? std::string("-inf") : check.low) + ", " +
            (check.high.empty() ? std::string("inf") : check.high) + "]";
    return text;
}

// Why the check failed, or nothing when it passed.
std::optional<std::string> Failure(const TCheckRecord& check, bool valueOk) {
    const std::optional<double> value = valueOk ? ParseNumber(check.value) : std::nullopt;
    if (!value) return ShownValue(check.value) + " is not a number";
    const std::optional<double> low = ParseNumber(check.low);
    const std::optional<double> high = ParseNumber(check.high);
    if (!check.low.empty() && !low) return "the low limit " + check.low + " is not a number";
    if (!check.high.empty() && !high) return "the high limit " + check.high + " is not a number";
    if ((low && *value < *low) || (high && *value > *high)) return Measurement(check) + " out of limits";
    return std::nullopt;
}

void BadCall(TExecute& run, const char* message) {
    run.LogLine(message);
    run.SetError(message);
}

void Check(TExecute& run, const std::string& line, int& cursor) {
    std::string name;
    std::vector<std::string> arguments;
    SplitCall(line, name, arguments);
    if (name != "check") return;
    if (arguments.size() != 4 && arguments.size() != 5) return BadCall(run, kUsage);
    std::vector<TValue> values;
    for (const std::string& argument : arguments) values.push_back(run.EvaluateExpression(argument));
    if (!values[0].ok || values[0].text.empty()) return BadCall(run, kEmptyName);

    TCheckRecord check{values[0].text, values[1].text, Trim(values[2].text), Trim(values[3].text),
                       arguments.size() == 5 ? values[4].text : std::string(), false, cursor};
    const bool limitsOk = values[2].ok && values[3].ok;
    std::optional<std::string> failure = Failure(check, values[1].ok);
    if (!limitsOk && !failure) failure = "a limit did not evaluate";
    check.passed = !failure;

    run.ClearError();
    run.LogLine("check " + check.name + ": " + Measurement(check) + (check.passed ? ": pass" : ": FAIL"));
    if (failure) run.SetError("check " + check.name + ": " + *failure);
    run.Host().RecordCheck(check);
}

}  // namespace

void BindCheckStatement(TDispatch& dispatch) { dispatch.Bind(TStatement::Check, Check); }

}  // namespace korvane::engine
