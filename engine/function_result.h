#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/dispatch.h"
#include "engine/execute.h"
#include "engine/text_utils.h"

namespace korvane::engine {

// Small builders for what function rows hand back.
inline TFunctionResult TextResult(std::string_view text, bool ok) { return {QuoteText(text), ok}; }
inline TFunctionResult WholeResult(int64_t number, bool ok) { return {std::to_string(number), ok}; }
// A function's own failure: error 1, the message kept for geterror(), the empty literal.
inline TFunctionResult FailedResult(TExecute& run, std::string_view message, bool ok) {
    run.SetError(message);
    return {"\"\"", ok};
}

}  // namespace korvane::engine
