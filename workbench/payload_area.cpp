#include "workbench/payload_area.h"

#include "workbench/payload_layout.h"

namespace korvane::workbench {

namespace {

struct TAreaBlock {
    char bytes[kPayloadAreaSize];
};

consteval void PutText(TAreaBlock& block, std::size_t at, std::string_view text) {
    for (char c : text) block.bytes[at++] = c;
}

// Marker texts go in piece by piece: this block must be the only place that holds the whole
// start marker, and pieces of a compile-time function leave nothing in the program.
consteval void PutMarker(TAreaBlock& block, std::size_t at, std::string_view tail) {
    PutText(block, at, "CommThread");
    PutText(block, at + 10, "_");
    PutText(block, at + 11, tail);
}

consteval TAreaBlock MakeUnpackagedArea() {
    TAreaBlock block{};
    PutMarker(block, 0, "init");
    // Two nested loops keep each loop under the compiler's constant-evaluation iteration cap.
    constexpr std::size_t kRow = 512;
    static_assert(kPayloadSpaceSize % kRow == 0);
    for (std::size_t row = 0; row < kPayloadSpaceSize / kRow; ++row) {
        for (std::size_t column = 0; column < kRow; ++column) {
            block.bytes[kMarkerSize + row * kRow + column] = kFillerByte;
        }
    }
    PutMarker(block, kMarkerSize + kPayloadSpaceSize, "free");
    return block;
}

// Nothing reads this block in memory; Build and start-up work on the executable's file bytes.
// "used" and "retain" keep compiler and linker from dropping it.
[[gnu::used, gnu::retain, gnu::section(".korvane_payload")]] constinit TAreaBlock g_payloadArea =
    MakeUnpackagedArea();

}  // namespace

std::optional<std::size_t> FindPayloadSpace(std::string_view executable) {
    const std::size_t at = executable.find(StartMarker());
    if (at == std::string_view::npos) return std::nullopt;
    return at + kMarkerSize;
}

TReadResult ReadOwnExecutable() {
    // The link itself, not its target: it still opens the running file after a replace.
    return ReadFileBounded("/proc/self/exe", kMaxExecutableSize);
}

std::string ReadOwnPayloadSpace() {
    const TReadResult executable = ReadOwnExecutable();
    if (executable.status != TReadStatus::Ok) return {};
    const auto space = FindPayloadSpace(executable.bytes);
    if (!space) return {};
    return executable.bytes.substr(*space, kPayloadSpaceSize);
}

}  // namespace korvane::workbench
