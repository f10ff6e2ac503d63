#include "engine/text_limit.h"

#include "engine/errors.h"

namespace korvane::engine {

void ThrowTextTooLong() {
    throw EFatalError("Text too long: a value may hold at most 64 MiB (67108864 bytes)");
}

}  // namespace korvane::engine
