#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "engine/dispatch.h"
#include "engine/execute.h"
#include "engine/text_utils.h"

namespace korvane::engine {

// Small builders for what function rows hand back.
inline TFunctionResult TextResult(std::string&& text, bool ok) {
    return {std::move(text), ok, true, false, 0, true};
}
inline TFunctionResult TextResult(std::string_view text, bool ok) {
    // Made in place: a short text moved is copied again.
    return {std::string(text), ok, true, false, 0, true};
}
inline TFunctionResult TextResult(const char* text, bool ok) {
    return TextResult(std::string_view(text), ok);
}
inline TFunctionResult WholeResult(int64_t number, bool ok) {
    // Below 15 digits the text is the number's own general format.
    const bool exact = number < kMaxWholeNumber && number > -kMaxWholeNumber;
    return {std::to_string(number), ok, true, exact, static_cast<double>(number)};
}
// A function's own failure: error 1, the message kept for geterror(), the empty literal.
inline TFunctionResult FailedResult(TExecute& run, std::string_view message, bool ok) {
    run.SetError(message);
    return {"\"\"", ok};
}

}  // namespace korvane::engine
