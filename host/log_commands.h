#pragma once

#include "engine/dispatch.h"

namespace korvane::host {

// writelog: a line of the script's own in the log pane, with the statement's line number.
void BindLogCommands(engine::TDispatch& dispatch);

}  // namespace korvane::host
