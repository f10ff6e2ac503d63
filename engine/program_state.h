#pragma once

#include <cstdint>

#include "engine/token_list.h"

namespace korvane::engine {

// State shared by all runs of one program start: the random seed, and split's token list,
// which the end of each run empties.
struct TProgramState {
    TTokenList tokens;
    uint32_t randomSeed = 0;
};

}  // namespace korvane::engine
