#pragma once

#include "engine/run_control.h"

namespace korvane::workbench {

// Where a run stands as far as the window's buttons and menu items care. Stepping is the
// wait before each statement in step mode; its Stop menu item stays usable, unlike Paused.
enum class TRunPhase { Idle, Running, Paused, Stepping };

// Enabled state of every action the run control switches. Buttons and menu items of the same
// command differ while paused, so they are listed apart.
struct TActionStates {
    bool runButton = false;
    bool stopButton = false;
    bool pauseButton = false;
    bool runItem = false;
    bool stopItem = false;
    bool pauseItem = false;
    bool buildItem = false;
    // Open, New, Save, Save as (buttons) and the File and Help menus.
    bool fileActions = false;
    bool operator==(const TActionStates&) const = default;
};

TActionStates ActionStatesFor(TRunPhase phase);

TRunPhase PhaseFor(engine::TRunButtons buttons);

}  // namespace korvane::workbench
