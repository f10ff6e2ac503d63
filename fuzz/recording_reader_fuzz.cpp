// Feeds arbitrary bytes to the recording reader. A refused text must say why and give no
// events; an accepted one must come out of writing and reading again unchanged.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "serial/recording.h"

namespace {

using namespace korvane::serial;

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TRecording read = ReadRecording(text);
    if (!read.Ok()) {
        Require(read.events.empty() && read.error.substr(0, 5) == "line ");
        return 0;
    }
    int line = 1;
    for (const TRecordedEvent& event : read.events) {
        const bool block = event.kind == RecordedKind::Sent || event.kind == RecordedKind::Received;
        Require(event.line > line && event.micros >= 0 && event.data.empty() != block);
        line = event.line;
    }
    const TRecording again = ReadRecording(FormatRecording(read.events));
    Require(again.Ok() && again.events.size() == read.events.size());
    for (std::size_t i = 0; i < read.events.size(); ++i) {
        TRecordedEvent a = read.events[i];
        TRecordedEvent b = again.events[i];
        a.line = b.line = 0;
        Require(a == b);
    }
    return 0;
}
