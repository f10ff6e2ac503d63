#pragma once

#include <string>
#include <string_view>

#include "workbench/payload.h"

namespace korvane::workbench {

enum class TPayloadStatus {
    Absent,     // no product name anywhere: an unpackaged program
    Valid,      // a complete payload
    Malformed,  // the product name is there, the rest is not a payload
};

struct TPayloadReading {
    TPayloadStatus status = TPayloadStatus::Absent;
    TPayload payload;     // filled when Valid
    std::string problem;  // says what is wrong when Malformed
};

// Takes apart the bytes of a payload space (what follows the start marker). The layout is read
// strictly in order; anything missing, out of order or cut short makes the payload Malformed.
// Rack names come back as bare file names, safe to create in the current folder.
TPayloadReading ReadPayload(std::string_view space);

}  // namespace korvane::workbench
