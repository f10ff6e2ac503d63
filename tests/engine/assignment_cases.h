#pragma once

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "recording_host.h"

namespace korvane::engine::testing {

// A script and what one variable holds after running it on a fresh engine.
struct TAssignCase {
    const char* script;
    const char* variable;
    const char* expected;  // "" means the variable does not exist
};

inline void ExpectAssignments(const std::vector<TAssignCase>& cases) {
    for (const TAssignCase& c : cases) {
        TEngineFixture fixture;
        auto run = fixture.Run(c.script);
        EXPECT_EQ(run->GetVariable(c.variable), c.expected) << c.script;
    }
}

}  // namespace korvane::engine::testing
