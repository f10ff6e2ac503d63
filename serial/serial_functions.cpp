// The serial functions. Each hands back a quoted text: the port's buffer or line state, or
// the empty text after a failure, which it reports through error and geterror().
#include <exception>
#include <string>
#include <vector>

#include "engine/execute.h"
#include "engine/function_result.h"
#include "engine/number_text.h"
#include "engine/text_utils.h"
#include "serial/port_table.h"
#include "serial/serial_commands.h"

namespace korvane::serial {

namespace {

using engine::TExecute;
using engine::TFunction;
using engine::TFunctionResult;
using TArgs = std::vector<std::string>;

// When a function clears error: receive and getcts before their argument is evaluated, the
// other three once the argument is evaluated and the ports are refreshed.
enum class ClearWhen { First, Last };

struct TPortFunction {
    std::string_view name;
    ClearWhen clear;
    int (TTerminal::*state)() const;  // null for receive
};

TFunctionResult Enumports(TExecute& run, TPortTable& table) {
    run.ClearError();
    table.RefreshPorts();
    std::string names;
    for (const std::string& name : table.AvailablePorts()) {
        if (!names.empty()) names += ' ';
        names += engine::ToLowerAscii(name);
    }
    return engine::TextResult(names, true);
}

TFunctionResult PortFunction(TExecute& run, const TArgs& texts, TPortTable& table,
                             const TPortFunction& function) {
    if (function.clear == ClearWhen::First) run.ClearError();
    TArgs v;
    const bool ok = run.EvaluateArguments(texts, v);
    table.DropStaleTerminals();
    if (function.clear == ClearWhen::Last) run.ClearError();
    const std::string prefix = std::string(function.name) + ": Serial port not ";
    try {
        const std::optional<int> number = StrictPortNumber(v[0]);
        if (!number) return engine::FailedResult(run, prefix + "valid.", ok);
        const TTerminal* terminal = table.Terminal(*number);
        if (!terminal) return engine::FailedResult(run, prefix + "open.", ok);
        if (terminal->Lost()) return engine::FailedResult(run, LostMessage(*number), ok);
        if (!function.state) return engine::TextResult(terminal->RxBuffer(), ok);
        return engine::TextResult(std::to_string((terminal->*function.state)()), ok);
    } catch (const std::exception&) {
        return engine::FailedResult(run, prefix + "valid.", ok);
    }
}

}  // namespace

std::string LostMessage(int number) { return PortName(number) + ": device lost"; }

std::optional<int> StrictPortNumber(std::string_view name) {
    if (!engine::StartsWith(name, "com")) return std::nullopt;
    const std::optional<int32_t> number = engine::StrictInt(name.substr(3));
    if (!number) return std::nullopt;
    return *number;
}

void BindSerialFunctions(engine::TDispatch& dispatch, TPortTable& table) {
    dispatch.Bind(TFunction::Enumports,
                  [&table](TExecute& run, const TArgs&) { return Enumports(run, table); });
    static constexpr TPortFunction kFunctions[] = {
        {"receive", ClearWhen::First, nullptr},
        {"getcts", ClearWhen::First, &TTerminal::CtsState},
        {"getdsr", ClearWhen::Last, &TTerminal::DsrState},
        {"getrlsd", ClearWhen::Last, &TTerminal::RlsdState},
        {"getring", ClearWhen::Last, &TTerminal::RingState},
    };
    const TFunction rows[] = {TFunction::Receive, TFunction::Getcts, TFunction::Getdsr,
                              TFunction::Getrlsd, TFunction::Getring};
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const TPortFunction& function = kFunctions[i];
        dispatch.Bind(rows[i], [&table, &function](TExecute& run, const TArgs& texts) {
            return PortFunction(run, texts, table, function);
        });
    }
}

}  // namespace korvane::serial
