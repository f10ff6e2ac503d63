#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvane::serial {

inline constexpr int kFirstPortNumber = 1;
inline constexpr int kLastPortNumber = 256;

enum class PortKind { Device, Loop, Pty, Replay, ReplayFast, Tcp, Usbtmc };

// What a port number stands for: a device node, an instrument or one of the virtual ports.
// Any but the replayed ones may also be recorded into a file as it is used.
struct TPortTarget {
    TPortTarget(PortKind kindIn = PortKind::Device, std::string pathIn = {},
                std::string recordingIn = {})
        : kind(kindIn), path(std::move(pathIn)), recording(std::move(recordingIn)) {}

    PortKind kind;
    // The device node, the recording a replayed port plays, "HOST:PORT" of a network
    // instrument, or the /dev/usbtmcN node or USB resource string of a USB instrument.
    std::string path;
    std::string recording;  // where a recorded port writes its events; empty: not recorded

    bool operator==(const TPortTarget&) const = default;
};

// Key/value pairs as a settings section holds them ("com3" = "/dev/ttyUSB0").
using TPortEntries = std::vector<std::pair<std::string, std::string>>;

// A serial device found on the system; `aliases` are the other paths that lead to it.
struct TDetectedPort {
    std::string devicePath;
    std::vector<std::string> aliases;
};

// An entry that was left out of the map, and why.
struct TPortMapIssue {
    std::string source;
    std::string entry;
    std::string reason;

    std::string Text() const;
};

// Port numbers 1..256 and what each stands for.
class TPortMap {
 public:
    std::optional<TPortTarget> Find(int number) const;
    // The mapped numbers, ascending.
    std::vector<int> Numbers() const;
    // False for a number outside 1..256.
    bool Assign(int number, TPortTarget target);
    bool Contains(int number) const { return m_targets.count(number) != 0; }

 private:
    std::map<int, TPortTarget> m_targets;
};

struct TPortMapResult {
    TPortMap map;
    std::vector<TPortMapIssue> issues;
};

inline constexpr std::string_view kSettingsSource = "korvane.ini [ports]";
inline constexpr std::string_view kEnvironmentSource = "KORVANE_PORTS";
inline constexpr std::string_view kDetectedSource = "automatic numbering";

// Builds the map: settings entries first, then the environment list
// ("com5=/dev/pts/7;com6=loop;com7=pty;com8=record:a.kvr@/dev/ttyUSB0;com9=replay:a.kvr"),
// which wins where both name a port; then every
// detected device that no entry names takes the lowest free number, in the given order.
// Bad entries are left out and listed in `issues`.
TPortMapResult BuildPortMap(const TPortEntries& settingsEntries, std::string_view environment,
                            const std::vector<TDetectedPort>& detected);

// The number in a port key "comN" (any letter case), if it is one of 1..256.
std::optional<int> ParsePortKey(std::string_view key);

// "com" + number, the name scripts use.
std::string PortName(int number);

}  // namespace korvane::serial
