#include "host/window_commands.h"

#include "engine/execute.h"
#include "host/window_actions.h"

namespace korvane::host {

void BindWindowCommands(engine::TDispatch& dispatch, TWindowActions& window) {
    dispatch.Bind(engine::TStatement::Showmain,
                  [&window](engine::TExecute&, const std::string&, int&) { window.ShowMain(); });
    // A standalone program keeps its main window hidden anyway.
    dispatch.Bind(engine::TStatement::Hidemain,
                  [&window](engine::TExecute& run, const std::string&, int&) {
                      if (!run.Host().Standalone()) window.HideMain();
                  });
}

}  // namespace korvane::host
