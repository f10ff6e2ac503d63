#include "engine/text_limit.h"

#include "engine/errors.h"

namespace korvane::engine {

void ThrowTextTooLong() {
    throw EFatalError("Text too long: a value may hold at most 64 MiB (67108864 bytes)");
}

void ThrowScriptDataTooLarge() {
    throw EFatalError(
        "Out of script memory: all variables together may hold at most 1 GiB (1073741824 bytes)");
}

}  // namespace korvane::engine
