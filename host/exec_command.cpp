#include "host/exec_command.h"

#include "host/command_arguments.h"
#include "host/launcher.h"

namespace korvane::host {

namespace {

void Exec(engine::TExecute& run, const std::string& line, TLauncher& launcher) {
    TArgs texts;
    if (!CallsWith(line, "exec", 1, texts)) return;
    const TArgs v = Evaluated(run, texts);
    run.ClearError();
    if (launcher.Open(v[0])) {
        run.LogLine("External application was stared: " + v[0]);
        return;
    }
    run.LogLine("External application was not started: " + v[0]);
    run.SetError("exec: error starting external application..");
}

}  // namespace

void BindExecCommand(engine::TDispatch& dispatch, TLauncher& launcher) {
    dispatch.Bind(engine::TStatement::Exec,
                  [&launcher](engine::TExecute& run, const std::string& line, int&) {
                      Exec(run, line, launcher);
                  });
}

}  // namespace korvane::host
