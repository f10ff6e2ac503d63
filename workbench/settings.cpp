#include "workbench/settings.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <system_error>

// Debian's SimpleIni.h keeps its template bodies behind SI_IMPLEMENTATION; 8-bit text needs no
// conversion library.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include "workbench/file_io.h"

namespace korvane::workbench {

namespace {

std::optional<int> ParseInteger(std::string_view text) {
    // from_chars takes a leading "-" but no "+".
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// Reads values in the caller's order until one fails to convert; after that every read leaves
// its target alone.
class TOrderedReader {
 public:
    explicit TOrderedReader(const CSimpleIniA& ini) : m_ini(ini) {}

    void Integer(const char* section, const char* key, int& target) {
        const char* text = Text(section, key);
        if (text == nullptr) return;
        if (const auto value = ParseInteger(text)) {
            target = *value;
        } else {
            m_stopped = true;
        }
    }

    void Position(const char* section, TPosition& position, bool yFirst) {
        if (yFirst) Integer(section, "y", position.y);
        Integer(section, "x", position.x);
        if (!yFirst) Integer(section, "y", position.y);
    }

    // A position the file holds at least one key of.
    void Position(const char* section, std::optional<TPosition>& position, bool yFirst) {
        if (Text(section, "x") == nullptr && Text(section, "y") == nullptr) return;
        Position(section, position.emplace(), yFirst);
    }

    // Texts cannot fail; they are only skipped once reading has stopped.
    const char* Text(const char* section, const char* key) const {
        return m_stopped ? nullptr : m_ini.GetValue(section, key, nullptr);
    }

 private:
    const CSimpleIniA& m_ini;
    bool m_stopped = false;
};

void ReadBar(TOrderedReader& reader, const char* section, TBarPlacement& bar) {
    const char* style = reader.Text(section, "style");
    if (style != nullptr && std::string_view(style) == "floating") {
        bar.style = TBarStyle::Floating;
        return;
    }
    reader.Integer(section, "row", bar.row);
    reader.Integer(section, "pos", bar.pos);
}

std::string RecentKey(std::size_t index) { return "MRU" + std::to_string(index + 1); }

void ReadPorts(const CSimpleIniA& ini, TSettings& settings) {
    CSimpleIniA::TNamesDepend keys;
    ini.GetAllKeys("ports", keys);
    keys.sort(CSimpleIniA::Entry::LoadOrder());
    for (const auto& key : keys) {
        settings.ports.emplace_back(key.pItem, ini.GetValue("ports", key.pItem, ""));
    }
}

// "3,7,12": the lines as people count them, from 1.
std::vector<int> ParseLineList(std::string_view text) {
    std::vector<int> lines;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const auto number = ParseInteger(text.substr(0, comma));
        if (number && *number >= 1) lines.push_back(*number - 1);
        if (comma == std::string_view::npos) break;
        text.remove_prefix(comma + 1);
    }
    return lines;
}

std::string FormatLineList(const std::vector<int>& lines) {
    std::string text;
    for (int line : lines) {
        if (!text.empty()) text += ',';
        text += std::to_string(line + 1);
    }
    return text;
}

// A path the INI format can hold as a key.
bool UsableKey(const std::string& path) {
    return !path.empty() && path.find_first_of("=\r\n") == std::string::npos &&
           path.front() != ';' && path.front() != '#' && path.front() != '[' &&
           path.front() != ' ' && path.back() != ' ';
}

void ReadViewSettings(const CSimpleIniA& ini, TSettings& settings) {
    const std::string_view theme = ini.GetValue("view", "theme", "system");
    if (theme == "light" || theme == "dark") settings.theme = theme;
    CSimpleIniA::TNamesDepend keys;
    ini.GetAllKeys("breakpoints", keys);
    keys.sort(CSimpleIniA::Entry::LoadOrder());
    for (const auto& key : keys) {
        std::vector<int> lines = ParseLineList(ini.GetValue("breakpoints", key.pItem, ""));
        if (!lines.empty()) settings.breakpoints.emplace_back(key.pItem, std::move(lines));
    }
}

void SetInteger(CSimpleIniA& ini, const char* section, const char* key, int value) {
    ini.SetValue(section, key, std::to_string(value).c_str());
}

void WriteBar(CSimpleIniA& ini, const char* section, const TBarPlacement& bar) {
    if (bar.style == TBarStyle::Floating) {
        ini.SetValue(section, "style", "floating");
        SetInteger(ini, section, "x", bar.floating.x);
        SetInteger(ini, section, "y", bar.floating.y);
    } else {
        ini.SetValue(section, "style", "docked");
        SetInteger(ini, section, "row", bar.row);
        SetInteger(ini, section, "pos", bar.pos);
    }
}

void WritePosition(CSimpleIniA& ini, const char* section, const TPosition& position) {
    SetInteger(ini, section, "x", position.x);
    SetInteger(ini, section, "y", position.y);
}

void WritePosition(CSimpleIniA& ini, const char* section,
                   const std::optional<TPosition>& position) {
    if (position) WritePosition(ini, section, *position);
}

}  // namespace

TSettings ParseSettings(std::string_view iniText) {
    TSettings settings;
    CSimpleIniA ini;
    if (ini.LoadData(iniText.data(), iniText.size()) < 0) return settings;
    TOrderedReader reader(ini);
    reader.Integer("main", "x", settings.mainPosition.x);
    reader.Integer("main", "y", settings.mainPosition.y);
    reader.Integer("main", "width", settings.mainWidth);
    reader.Integer("main", "height", settings.mainHeight);
    reader.Integer("main", "log_height", settings.logHeight);
    reader.Position("debug", settings.debugPosition, true);
    reader.Position("rack", settings.rackPosition, true);
    reader.Position("terminal", settings.terminalPosition, false);
    for (std::size_t i = 0; i < kMaxRecentFiles; ++i) {
        const char* file = reader.Text("recent", RecentKey(i).c_str());
        if (file != nullptr && *file != '\0') settings.recentFiles.emplace_back(file);
    }
    ReadBar(reader, "menu bar", settings.menuBar);
    ReadBar(reader, "toolbar", settings.toolbar);
    ReadBar(reader, "recent bar", settings.recentBar);
    ReadPorts(ini, settings);
    ReadViewSettings(ini, settings);
    return settings;
}

TSettings LoadSettings(const std::filesystem::path& path) {
    const TReadResult file = ReadFileBounded(path, kMaxSettingsFileSize);
    if (file.status != TReadStatus::Ok) return TSettings{};
    return ParseSettings(file.bytes);
}

std::string MergeSettings(std::string_view existingIniText, const TSettings& settings) {
    CSimpleIniA ini;
    ini.SetSpaces(false);
    if (ini.LoadData(existingIniText.data(), existingIniText.size()) < 0) ini.Reset();
    for (std::size_t i = 0; i < kMaxRecentFiles; ++i) {
        const std::string key = RecentKey(i);
        if (i < settings.recentFiles.size() && !settings.recentFiles[i].empty()) {
            ini.SetValue("recent", key.c_str(), settings.recentFiles[i].c_str());
        } else {
            ini.Delete("recent", key.c_str());
        }
    }
    WriteBar(ini, "menu bar", settings.menuBar);
    WriteBar(ini, "toolbar", settings.toolbar);
    WriteBar(ini, "recent bar", settings.recentBar);
    WritePosition(ini, "main", settings.mainPosition);
    SetInteger(ini, "main", "width", settings.mainWidth);
    SetInteger(ini, "main", "height", settings.mainHeight);
    SetInteger(ini, "main", "log_height", settings.logHeight);
    WritePosition(ini, "debug", settings.debugPosition);
    WritePosition(ini, "terminal", settings.terminalPosition);
    WritePosition(ini, "rack", settings.rackPosition);
    for (const auto& [key, value] : settings.ports) {
        ini.SetValue("ports", key.c_str(), value.c_str());
    }
    ini.SetValue("view", "theme", settings.theme.c_str());
    ini.Delete("breakpoints", nullptr);
    for (const auto& [path, lines] : settings.breakpoints) {
        if (UsableKey(path) && !lines.empty()) {
            ini.SetValue("breakpoints", path.c_str(), FormatLineList(lines).c_str());
        }
    }
    std::string text;
    ini.Save(text);
    return text;
}

bool SaveSettings(const std::filesystem::path& path, const TSettings& settings) {
    std::error_code error;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), error);
    if (error) return false;
    const TReadResult existing = ReadFileBounded(path, kMaxSettingsFileSize);
    // A file that is there but cannot be read may hold other people's sections: keep it.
    if (existing.status != TReadStatus::Ok && std::filesystem::exists(path, error)) return false;
    const std::string_view oldText =
        existing.status == TReadStatus::Ok ? std::string_view(existing.bytes) : "";
    std::string problem;
    return WriteFileReplacing(path, MergeSettings(oldText, settings), TFileMode::Regular, problem);
}

void KeepBreakpoints(TSettings& settings, const std::string& path, const std::vector<int>& lines) {
    auto& kept = settings.breakpoints;
    std::erase_if(kept, [&path](const auto& entry) { return entry.first == path; });
    if (lines.empty()) return;
    kept.emplace_back(path, lines);
    if (kept.size() > kMaxBreakpointFiles) kept.erase(kept.begin());
}

void AddRecentFile(std::vector<std::string>& recentFiles, std::string_view path) {
    std::erase(recentFiles, path);
    recentFiles.insert(recentFiles.begin(), std::string(path));
    if (recentFiles.size() > kMaxRecentFiles) recentFiles.resize(kMaxRecentFiles);
}

}  // namespace korvane::workbench
