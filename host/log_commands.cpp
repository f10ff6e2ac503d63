#include "host/log_commands.h"

#include <new>
#include <string>
#include <vector>

#include "engine/engine_host.h"
#include "engine/execute.h"
#include "engine/text_utils.h"

namespace korvane::host {

namespace {

constexpr const char* kWritelogError = "writelog: unexpected argument.";

// In standalone mode the statement is skipped whole: its argument is not even evaluated.
void Writelog(engine::TExecute& run, const std::string& line, int& cursor) {
    engine::TEngineHost& host = run.Host();
    if (host.Standalone()) return;
    std::string name;
    std::vector<std::string> arguments;
    engine::SplitCall(line, name, arguments);
    if (name != "writelog" || arguments.size() != 1) return;
    const engine::TValue value = run.EvaluateExpression(arguments[0]);
    run.ClearError();
    try {
        host.MakeRoomInLog();
        host.AppendLog(engine::FormatTimeOfDay(host.Now()) + ", from line " +
                       std::to_string(cursor) + ": " + value.text);
    } catch (const std::bad_alloc&) {
        run.SetError(kWritelogError);
    }
}

}  // namespace

void BindLogCommands(engine::TDispatch& dispatch) {
    dispatch.Bind(engine::TStatement::Writelog, Writelog);
}

}  // namespace korvane::host
