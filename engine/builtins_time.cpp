// time, date, year, month and day, all from the host's clock.
#include <cstdio>

#include "engine/builtins.h"
#include "engine/function_result.h"

namespace korvane::engine {

namespace {

using TArgs = std::vector<std::string>;

TFunctionResult Time(TExecute& run, const TArgs&) {
    run.ClearError();
    return TextResult(FormatTimeOfDay(run.Host().Now()), true);
}

TFunctionResult Date(TExecute& run, const TArgs&) {
    run.ClearError();
    const TLocalTime now = run.Host().Now();
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d-%02d-%02d", now.day % 100, now.month % 100,
                  now.year % 100);
    return TextResult(buffer, true);
}

TFunctionResult Year(TExecute& run, const TArgs&) {
    run.ClearError();
    return WholeResult(run.Host().Now().year, true);
}

TFunctionResult Month(TExecute& run, const TArgs&) {
    run.ClearError();
    return WholeResult(run.Host().Now().month, true);
}

TFunctionResult Day(TExecute& run, const TArgs&) {
    run.ClearError();
    return WholeResult(run.Host().Now().day, true);
}

}  // namespace

void BindTimeFunctions(TDispatch& dispatch) {
    using F = TFunction;
    dispatch.Bind(F::Time, Time);
    dispatch.Bind(F::Date, Date);
    dispatch.Bind(F::Year, Year);
    dispatch.Bind(F::Month, Month);
    dispatch.Bind(F::Day, Day);
}

}  // namespace korvane::engine
