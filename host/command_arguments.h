#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/execute.h"
#include "engine/text_utils.h"

namespace korvane::host {

using TArgs = std::vector<std::string>;

// Splits a statement line; true when it calls `name` with exactly `count` arguments.
inline bool CallsWith(const std::string& line, std::string_view name, size_t count,
                      TArgs& arguments) {
    std::string called;
    engine::SplitCall(line, called, arguments);
    return called == name && arguments.size() == count;
}

// The arguments' values, left to right (a failed evaluation leaves the rest empty).
inline TArgs Evaluated(engine::TExecute& run, const TArgs& texts) {
    TArgs values;
    run.EvaluateArguments(texts, values);
    return values;
}

}  // namespace korvane::host
