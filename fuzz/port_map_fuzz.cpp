// Feeds arbitrary bytes to the port map's readers: as a settings file's [ports] section, as
// the KORVANE_PORTS list and as port keys. Whatever they make of it, every mapped number must
// lie in 1..256 and lead to a target, every instrument target must be one its device can
// open, and every left-out entry must say why.
#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "serial/instrument_target.h"
#include "serial/port_entries.h"
#include "serial/port_map.h"

namespace {

using namespace korvane::serial;

void Require(bool condition) {
    if (!condition) std::abort();
}

void CheckMap(const TPortMapResult& result) {
    for (int number : result.map.Numbers()) {
        Require(number >= kFirstPortNumber && number <= kLastPortNumber);
        const std::optional<TPortTarget> target = result.map.Find(number);
        Require(target.has_value());
        if (target->kind == PortKind::Tcp) Require(SplitHostPort(target->path).has_value());
        if (target->kind == PortKind::Usbtmc) {
            Require(target->path.starts_with('/') || ParseUsbResource(target->path).has_value());
        }
    }
    for (const TPortMapIssue& issue : result.issues) Require(!issue.Text().empty());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const TPortEntries entries = ParsePortSection(text);
    for (const auto& [key, value] : entries) {
        if (const auto number = ParsePortKey(key)) {
            Require(*number >= kFirstPortNumber && *number <= kLastPortNumber);
        }
    }
    const std::vector<TDetectedPort> detected = {{"/dev/ttyUSB0", {"/dev/serial/by-id/x"}},
                                                 {"/dev/ttyS0", {}}};
    CheckMap(BuildPortMap(entries, text, detected));
    CheckMap(BuildPortMap({}, text, {}));
    (void)ParseUsbResource(text);
    return 0;
}
