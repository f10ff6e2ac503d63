#include "workbench/ui/file_rules.h"

#include <algorithm>

#include "host/program_files.h"

namespace korvane::workbench {

namespace {

std::string_view FileNameOf(std::string_view path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string CaptionFor(std::string_view path) {
    return std::string(kCaptionPrefix) + std::string(FileNameOf(path));
}

std::string SaveAsSuggestion(std::string_view caption) {
    std::string_view name = caption;
    if (name.substr(0, kCaptionPrefix.size()) == kCaptionPrefix) {
        name.remove_prefix(kCaptionPrefix.size());
    }
    return std::string(name.substr(0, kMaxSaveAsNameLength));
}

std::string SaveAsTarget(std::string_view chosenPath) {
    std::string target(chosenPath);
    if (target.find('.') == std::string::npos) target += kScriptExtension;
    return target;
}

std::string RecentLabel(std::string_view path) { return std::string(FileNameOf(path)); }

std::string QtFileFilter(std::string_view pairs) {
    std::string filter;
    bool description = true;
    std::size_t begin = 0;
    while (begin <= pairs.size()) {
        const std::size_t bar = std::min(pairs.find('|', begin), pairs.size());
        const std::string_view part = pairs.substr(begin, bar - begin);
        if (description) {
            if (!filter.empty()) filter += ";;";
            filter += part;
        } else {
            filter += " (";
            filter += part;
            filter += ')';
        }
        description = !description;
        begin = bar + 1;
    }
    return filter;
}

std::filesystem::path HelpPagePath(const std::filesystem::path& executableFolder) {
    return host::ProgramFile(executableFolder, kHelpPage);
}

}  // namespace korvane::workbench
