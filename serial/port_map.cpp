#include "port_map.h"

#include <algorithm>
#include <cctype>
#include <charconv>

#include "instrument_target.h"

namespace korvane::serial {

namespace {

constexpr std::size_t kMaxPathLength = 4096;

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

bool SameWord(std::string_view text, std::string_view word) {
    return std::equal(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return std::isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

bool LooksLikePortKey(std::string_view key) {
    return key.size() > 3 && SameWord(key.substr(0, 3), "com") && AllDigits(key.substr(3));
}

// The reason a key is not a port name, or nothing.
std::optional<std::string> KeyProblem(std::string_view key) {
    if (!LooksLikePortKey(key)) {
        return "not a port name (expected com1 to com256)";
    }
    if (!ParsePortKey(key)) {
        return "port number must be 1 to 256";
    }
    return std::nullopt;
}

// The rest of `text` after `prefix` (any letter case), if it starts with it.
std::optional<std::string_view> AfterPrefix(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size() || !SameWord(text.substr(0, prefix.size()), prefix)) {
        return std::nullopt;
    }
    return text.substr(prefix.size());
}

std::optional<std::string> FileProblem(std::string_view file) {
    if (file.empty()) return "no recording file given";
    if (file.size() > kMaxPathLength) return "recording file name too long";
    return std::nullopt;
}

// A device the map names directly: a path, loop or pty.
std::optional<std::string> ParsePlainTarget(std::string_view value, TPortTarget& target) {
    if (value.empty()) {
        return "no device given";
    }
    if (SameWord(value, "loop")) {
        target = {PortKind::Loop, {}, {}};
    } else if (SameWord(value, "pty")) {
        target = {PortKind::Pty, {}, {}};
    } else if (auto instrument = ParseInstrumentTarget(value)) {
        if (!instrument->problem.empty()) return instrument->problem;
        target = {instrument->kind, std::move(instrument->path), {}};
    } else if (value.front() != '/') {
        return "unknown device (expected an absolute device path, loop, pty, tcp:HOST:PORT, "
               "usbtmc:DEVICE, a VISA resource, record:FILE@DEVICE, replay:FILE or "
               "replay-fast:FILE)";
    } else if (value.size() > kMaxPathLength) {
        return "device path too long";
    } else {
        target = {PortKind::Device, std::string(value), {}};
    }
    return std::nullopt;
}

// "FILE@DEVICE": device paths hold no '@', so the last one splits.
std::optional<std::string> ParseRecordedTarget(std::string_view rest, TPortTarget& target) {
    const std::size_t at = rest.rfind('@');
    if (at == std::string_view::npos) return "record needs FILE@DEVICE";
    const std::string_view file = Trim(rest.substr(0, at));
    if (auto problem = FileProblem(file)) return problem;
    if (auto problem = ParsePlainTarget(Trim(rest.substr(at + 1)), target)) return problem;
    target.recording = std::string(file);
    return std::nullopt;
}

// The target a value names, or the reason it names none.
std::optional<std::string> ParseTarget(std::string_view value, TPortTarget& target) {
    if (const auto rest = AfterPrefix(value, "record:")) {
        return ParseRecordedTarget(*rest, target);
    }
    for (const auto& [prefix, kind] : {std::pair{std::string_view("replay:"), PortKind::Replay},
                                       std::pair{std::string_view("replay-fast:"),
                                                 PortKind::ReplayFast}}) {
        if (const auto rest = AfterPrefix(value, prefix)) {
            const std::string_view file = Trim(*rest);
            if (auto problem = FileProblem(file)) return problem;
            target = {kind, std::string(file), {}};
            return std::nullopt;
        }
    }
    return ParsePlainTarget(value, target);
}

struct TExplicitEntry {
    int number;
    TPortTarget target;
    std::string text;
    std::string_view source;
};

std::string EntryText(std::string_view key, std::string_view value) {
    return std::string(key) + "=" + std::string(value);
}

// Adds one entry to `entries` (a later entry for the same number replaces the earlier).
void AddEntry(std::string_view source, std::string_view rawKey, std::string_view rawValue,
              std::vector<TExplicitEntry>& entries, std::vector<TPortMapIssue>& issues) {
    const std::string_view key = Trim(rawKey);
    const std::string_view value = Trim(rawValue);
    const std::string text = EntryText(key, value);
    TPortTarget target;
    std::optional<std::string> problem = KeyProblem(key);
    if (!problem) {
        problem = ParseTarget(value, target);
    }
    if (problem) {
        issues.push_back({std::string(source), text, *problem});
        return;
    }
    const int number = *ParsePortKey(key);
    const auto same =
        std::find_if(entries.begin(), entries.end(),
                     [number](const TExplicitEntry& e) { return e.number == number; });
    if (same != entries.end()) {
        if (same->source == source) {
            issues.push_back({std::string(source), same->text, "replaced by a later entry"});
        }
        entries.erase(same);
    }
    entries.push_back({number, std::move(target), text, source});
}

void AddEnvironmentEntries(std::string_view list, std::vector<TExplicitEntry>& entries,
                           std::vector<TPortMapIssue>& issues) {
    while (!list.empty()) {
        const std::size_t end = std::min(list.find(';'), list.size());
        const std::string_view segment = Trim(list.substr(0, end));
        list.remove_prefix(std::min(end + 1, list.size()));
        if (segment.empty()) {
            continue;
        }
        const std::size_t equals = segment.find('=');
        if (equals == std::string_view::npos) {
            issues.push_back({std::string(kEnvironmentSource), std::string(segment),
                              "missing '=' between port and device"});
            continue;
        }
        AddEntry(kEnvironmentSource, segment.substr(0, equals), segment.substr(equals + 1), entries,
                 issues);
    }
}

bool NamedExplicitly(const TDetectedPort& port, const std::vector<TExplicitEntry>& entries) {
    return std::any_of(entries.begin(), entries.end(), [&port](const TExplicitEntry& entry) {
        const std::string& path = entry.target.path;
        return entry.target.kind == PortKind::Device &&
               (path == port.devicePath ||
                std::find(port.aliases.begin(), port.aliases.end(), path) != port.aliases.end());
    });
}

void NumberDetected(const std::vector<TDetectedPort>& detected,
                    const std::vector<TExplicitEntry>& entries, TPortMapResult& result) {
    int next = kFirstPortNumber;
    for (const TDetectedPort& port : detected) {
        if (NamedExplicitly(port, entries)) {
            continue;
        }
        while (next <= kLastPortNumber && result.map.Contains(next)) {
            ++next;
        }
        if (!result.map.Assign(next, {PortKind::Device, port.devicePath, {}})) {
            result.issues.push_back(
                {std::string(kDetectedSource), port.devicePath, "no free port number left"});
        }
    }
}

}  // namespace

std::string TPortMapIssue::Text() const {
    return source + ": \"" + entry + "\" ignored: " + reason;
}

std::optional<TPortTarget> TPortMap::Find(int number) const {
    const auto found = m_targets.find(number);
    if (found == m_targets.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::vector<int> TPortMap::Numbers() const {
    std::vector<int> numbers;
    numbers.reserve(m_targets.size());
    for (const auto& [number, target] : m_targets) {
        numbers.push_back(number);
    }
    return numbers;
}

bool TPortMap::Assign(int number, TPortTarget target) {
    if (number < kFirstPortNumber || number > kLastPortNumber) {
        return false;
    }
    m_targets[number] = std::move(target);
    return true;
}

TPortMapResult BuildPortMap(const TPortEntries& settingsEntries, std::string_view environment,
                            const std::vector<TDetectedPort>& detected) {
    TPortMapResult result;
    std::vector<TExplicitEntry> entries;
    for (const auto& [key, value] : settingsEntries) {
        AddEntry(kSettingsSource, key, value, entries, result.issues);
    }
    AddEnvironmentEntries(environment, entries, result.issues);
    for (const TExplicitEntry& entry : entries) {
        result.map.Assign(entry.number, entry.target);
    }
    NumberDetected(detected, entries, result);
    return result;
}

std::optional<int> ParsePortKey(std::string_view key) {
    if (!LooksLikePortKey(key)) {
        return std::nullopt;
    }
    int number = 0;
    const std::string_view digits = key.substr(3);
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || end != digits.data() + digits.size() || number < kFirstPortNumber ||
        number > kLastPortNumber) {
        return std::nullopt;
    }
    return number;
}

std::string PortName(int number) { return "com" + std::to_string(number); }

}  // namespace korvane::serial
