// The statement rows the engine handles itself: blocks, procedures, break and exit, the
// debugging statements and setidle.
#include "engine/builtins.h"
#include "engine/execute.h"
#include "engine/number_text.h"
#include "engine/text_utils.h"

namespace korvane::engine {

namespace {

void MoveToProcend(TExecute& run, const std::string&, int& cursor) {
    int c = cursor + 1;
    while (run.ProgramLine(c) != "procend") ++c;
    cursor = c;
}

void Debugon(TExecute& run, const std::string&, int&) {
    if (run.Host().Standalone()) return;
    run.SetStepMode(true);
    run.Host().ShowWatch(true);
}

void Debugoff(TExecute& run, const std::string&, int&) {
    if (run.Host().Standalone()) return;
    run.SetStepMode(false);
    run.Host().ShowWatch(false);
}

// Needs its empty parentheses: without a "(" SplitCall finds no name.
void ShowLine(TExecute& run, const std::string& line, int&) {
    if (run.Host().Standalone()) return;
    std::string name;
    std::vector<std::string> arguments;
    SplitCall(line, name, arguments);
    if (name != "showline" || !arguments.empty()) return;
    run.ClearError();
    run.SetShowCurrentLine();
}

void SetIdle(TExecute& run, const std::string& line, int&) {
    std::string name;
    std::vector<std::string> arguments;
    SplitCall(line, name, arguments);
    if (name != "setidle" || arguments.size() != 1) return;
    const TValue value = run.EvaluateExpression(arguments[0]);
    run.ClearError();
    auto interval = StrictInt(value.text);
    if (!interval) {
        run.LogLine("Cannot set idle time");
        run.SetError("setidle: unexpected argument");
    } else if (*interval < 0) {
        run.LogLine("Idle time not set, must be a positive integer value");
        run.SetError("setidle: idle time must be positive");
    } else {
        run.SetIdleInterval(*interval);
    }
}

}  // namespace

void BindEngineStatements(TDispatch& dispatch) {
    using S = TStatement;
    dispatch.Bind(S::Comment, [](TExecute&, const std::string&, int&) {});
    dispatch.Bind(S::For, [](TExecute& run, const std::string& line, int& cursor) {
        run.RunFor(line, cursor);
    });
    dispatch.Bind(S::If, [](TExecute& run, const std::string& line, int& cursor) {
        run.RunIf(std::string_view(line).substr(3), cursor);
    });
    dispatch.Bind(S::While, [](TExecute& run, const std::string& line, int& cursor) {
        run.RunWhile(std::string_view(line).substr(6), cursor);
    });
    dispatch.Bind(S::Repeat, [](TExecute& run, const std::string&, int& cursor) {
        run.RunRepeat(cursor);
    });
    dispatch.Bind(S::Break, [](TExecute& run, const std::string&, int&) { run.RequestBreak(); });
    dispatch.Bind(S::Exit, [](TExecute& run, const std::string&, int&) { run.RequestExit(); });
    dispatch.Bind(S::ProcedureCall, [](TExecute& run, const std::string& line, int&) {
        run.CallProcedure(run.FindProcedure(line));
    });
    dispatch.Bind(S::ProcedureDefinition, MoveToProcend);
    dispatch.Bind(S::Debugon, Debugon);
    dispatch.Bind(S::Debugoff, Debugoff);
    dispatch.Bind(S::Showline, ShowLine);
    dispatch.Bind(S::Setidle, SetIdle);
}

void BindEngine(TDispatch& dispatch) {
    BindEngineStatements(dispatch);
    BindCheckStatement(dispatch);
    BindTextFunctions(dispatch);
    BindMiscFunctions(dispatch);
    BindTimeFunctions(dispatch);
}

}  // namespace korvane::engine
