#pragma once

#include "engine/dispatch.h"

namespace korvane::host {

class TWindowActions;

// showmain and hidemain. Whether a line is one of them at all (not in standalone mode; only
// in scripts that mention openrack) the dispatch table decides; anything after the word is
// ignored, nothing is logged and error is left alone.
void BindWindowCommands(engine::TDispatch& dispatch, TWindowActions& window);

}  // namespace korvane::host
