#include "workbench/ui/action_states.h"

namespace korvane::workbench {

TActionStates ActionStatesFor(TRunPhase phase) {
    TActionStates states;
    switch (phase) {
        case TRunPhase::Idle:
            states.runButton = states.runItem = states.buildItem = states.fileActions = true;
            break;
        case TRunPhase::Running:
            states.stopButton = states.pauseButton = true;
            states.stopItem = states.pauseItem = true;
            break;
        case TRunPhase::Paused:
            states.runButton = states.stopButton = true;
            states.runItem = true;
            break;
        case TRunPhase::Stepping:
            states.runButton = states.stopButton = true;
            states.runItem = states.stopItem = true;
            break;
    }
    return states;
}

TRunPhase PhaseFor(engine::TRunButtons buttons) {
    switch (buttons) {
        case engine::TRunButtons::Running:
            return TRunPhase::Running;
        case engine::TRunButtons::Paused:
            return TRunPhase::Paused;
        case engine::TRunButtons::Idle:
            break;
    }
    return TRunPhase::Idle;
}

}  // namespace korvane::workbench
