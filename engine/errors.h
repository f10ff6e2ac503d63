#pragma once

#include <stdexcept>
#include <string>

namespace korvane::engine {

// An error that escapes a statement: the run ends and the log shows "Fatal error: <message>".
class EFatalError : public std::runtime_error {
public:
    explicit EFatalError(const std::string& message) : std::runtime_error(message) {}
};

// A block scan read past the last program line: the run ends silently.
class EEndOfProgram {};

// Stop arrived while one statement was still being evaluated: the run ends there, the
// statement left unfinished. Not a std::exception, so no command's guard can swallow it.
class EStopped {};

}  // namespace korvane::engine
