#pragma once

#include <string>

#include "workbench/payload_layout.h"

namespace korvane::workbench::testing {

inline constexpr std::string_view kFakeHead =
    "\x7f"
    "ELF-head";
inline constexpr std::string_view kFakeTail = "tail-of-program";

// A stand-in for an unpackaged program file: some bytes, the payload area, some more bytes.
inline std::string FakeExecutable() {
    std::string bytes(kFakeHead);
    bytes += StartMarker();
    bytes.append(kPayloadSpaceSize, kFillerByte);
    bytes += EndMarker();
    bytes += kFakeTail;
    return bytes;
}

inline std::string_view SpaceOf(std::string_view executable) {
    return executable.substr(kFakeHead.size() + kMarkerSize, kPayloadSpaceSize);
}

}  // namespace korvane::workbench::testing
