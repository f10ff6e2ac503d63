#include "workbench/ui/action_states.h"

#include <gtest/gtest.h>

namespace korvane::workbench {
namespace {

TEST(ActionStates, EachPhaseEnablesWhatTheRunControlAllows) {
    struct TCase {
        TRunPhase phase;
        TActionStates expected;  // run, stop, pause buttons; run, stop, pause items; build; files
    };
    const TCase cases[] = {
        {TRunPhase::Idle, {true, false, false, true, false, false, true, true}},
        {TRunPhase::Running, {false, true, true, false, true, true, false, false}},
        // Paused: the Stop button works but the Stop menu item does not.
        {TRunPhase::Paused, {true, true, false, true, false, false, false, false}},
        // Waiting for a step: Stop works from the menu too.
        {TRunPhase::Stepping, {true, true, false, true, true, false, false, false}},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(ActionStatesFor(c.phase), c.expected) << static_cast<int>(c.phase);
    }
}

TEST(ActionStates, RunButtonStatesMapOntoPhases) {
    EXPECT_EQ(PhaseFor(engine::TRunButtons::Idle), TRunPhase::Idle);
    EXPECT_EQ(PhaseFor(engine::TRunButtons::Running), TRunPhase::Running);
    EXPECT_EQ(PhaseFor(engine::TRunButtons::Paused), TRunPhase::Paused);
}

}  // namespace
}  // namespace korvane::workbench
