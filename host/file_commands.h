#pragma once

#include "engine/dispatch.h"

namespace korvane::host {

class TDM;

// fcreate, fclose and fseek statements and the fopen, fread and fwrite functions, all on the
// data module's one file slot.
void BindFileCommands(engine::TDispatch& dispatch, TDM& dm);

}  // namespace korvane::host
