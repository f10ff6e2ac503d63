#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace korvane::engine {

// State shared by all runs of one program start: split's token list and the random seed.
struct TProgramState {
    std::vector<std::string> tokens;
    uint32_t randomSeed = 0;
};

}  // namespace korvane::engine
