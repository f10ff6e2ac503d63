#include "serial/port_entries.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

namespace korvane::serial {

namespace {

constexpr std::uintmax_t kMaxSettingsFileSize = 1 << 20;

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsPortsSection(std::string_view name) {
    constexpr std::string_view kPorts = "ports";
    return std::equal(name.begin(), name.end(), kPorts.begin(), kPorts.end(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

// The section a "[name]" line opens, or nothing for other lines.
std::optional<std::string_view> SectionName(std::string_view line) {
    if (line.size() < 2 || line.front() != '[' || line.back() != ']') return std::nullopt;
    return Trimmed(line.substr(1, line.size() - 2));
}

}  // namespace

std::vector<TIniSection> ParseSections(std::string_view iniText) {
    std::vector<TIniSection> sections;
    while (!iniText.empty()) {
        const std::size_t end = std::min(iniText.find('\n'), iniText.size());
        const std::string_view line = Trimmed(iniText.substr(0, end));
        iniText.remove_prefix(std::min(end + 1, iniText.size()));
        if (line.empty() || line.front() == ';' || line.front() == '#') continue;
        if (const auto section = SectionName(line)) {
            sections.push_back({std::string(*section), {}});
            continue;
        }
        const std::size_t equals = line.find('=');
        if (sections.empty() || equals == std::string_view::npos) continue;
        sections.back().entries.emplace_back(Trimmed(line.substr(0, equals)),
                                             Trimmed(line.substr(equals + 1)));
    }
    return sections;
}

TPortEntries ParsePortSection(std::string_view iniText) {
    TPortEntries entries;
    for (TIniSection& section : ParseSections(iniText)) {
        if (!IsPortsSection(section.name)) continue;
        for (auto& entry : section.entries) entries.push_back(std::move(entry));
    }
    return entries;
}

TPortEntries LoadPortEntries(const std::filesystem::path& iniFile) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(iniFile, error);
    if (error || size > kMaxSettingsFileSize) return {};
    std::ifstream in(iniFile, std::ios::binary);
    if (!in) return {};
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return ParsePortSection(text);
}

}  // namespace korvane::serial
