#include "workbench/payload_layout.h"

namespace korvane::workbench {

namespace {

// Read through volatile pointers so the optimiser cannot fold the pieces back into one
// constant holding the whole marker.
const char* volatile kMarkerStem = "CommThread";
const char* volatile kMarkerJoin = "_";
const char* volatile kStartTail = "init";
const char* volatile kEndTail = "free";

std::string ComposeMarker(const char* tail) {
    std::string marker(kMarkerStem);
    marker += kMarkerJoin;
    marker += tail;
    return marker;
}

}  // namespace

std::string StartMarker() { return ComposeMarker(kStartTail); }

std::string EndMarker() { return ComposeMarker(kEndTail); }

}  // namespace korvane::workbench
