#pragma once

#include "engine/dispatch.h"

namespace korvane::host {

class TLauncher;

// exec(filename): hands the file to the launcher without waiting and logs the outcome.
void BindExecCommand(engine::TDispatch& dispatch, TLauncher& launcher);

}  // namespace korvane::host
