#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/dispatch.h"

namespace korvane::engine {

// Binds the engine's own statement rows (blocks, procedures, break/exit, debugging, setidle)
// and every built-in function that needs no device.
void BindEngine(TDispatch& dispatch);

void BindEngineStatements(TDispatch& dispatch);
void BindCheckStatement(TDispatch& dispatch);
void BindTextFunctions(TDispatch& dispatch);
void BindMiscFunctions(TDispatch& dispatch);
void BindTimeFunctions(TDispatch& dispatch);

}  // namespace korvane::engine
