// Feeds arbitrary bytes to the payload reader as a payload space, and checks what it accepts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "workbench/payload_reader.h"
#include "workbench/rack_name.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace korvane::workbench;
    const std::string_view space(reinterpret_cast<const char*>(data), size);
    const TPayloadReading reading = ReadPayload(space);
    if (reading.status != TPayloadStatus::Valid) return 0;
    for (const TRackFile& rack : reading.payload.racks) {
        // Every name handed out must already be a safe bare name.
        const auto bare = BareRackName(rack.name);
        if (!bare || *bare != rack.name) std::abort();
    }
    return 0;
}
