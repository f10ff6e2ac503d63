#include "workbench/package_warnings.h"

#include <algorithm>

#include "engine/text_utils.h"
#include "workbench/rack_name.h"

namespace korvane::workbench {

namespace {

bool IsLiteral(std::string_view argument) {
    return argument.size() >= 2 && argument.front() == '"' && argument.back() == '"' &&
           argument.substr(1, argument.size() - 2).find('"') == std::string_view::npos;
}

bool Exists(const std::string& path, const std::filesystem::path& scriptFolder,
            const std::function<bool(const std::string&)>& fileExists) {
    if (fileExists(path)) return true;
    const std::filesystem::path written(path);
    return !scriptFolder.empty() && written.is_relative() &&
           fileExists((scriptFolder / written).string());
}

std::string Prefix(std::size_t line) { return "Warning: line " + std::to_string(line) + ": "; }

}  // namespace

std::vector<std::string> PackagingWarnings(std::string_view scriptText,
                                           const std::filesystem::path& scriptFolder,
                                           const std::function<bool(const std::string&)>& fileExists) {
    std::vector<std::string> warnings;
    // A second openrack of a rack name already seen is a fallback Build passes over.
    std::vector<std::string> rackNames;
    const std::vector<std::string> lines = engine::SplitLines(scriptText);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line = engine::Trim(lines[i]);
        const bool rack = engine::StartsWith(line, "openrack");
        if (!rack && !engine::StartsWith(line, "loadimage")) continue;
        std::string name;
        std::vector<std::string> arguments;
        engine::SplitCall(line, name, arguments);
        const std::size_t pathArgument = rack ? 0 : 1;
        if (arguments.size() <= pathArgument) continue;
        const std::string argument = engine::Trim(arguments[pathArgument]);
        if (!IsLiteral(argument)) {
            warnings.push_back(Prefix(i + 1) + name + " path " + argument +
                               " is not a literal text and cannot be packaged");
            continue;
        }
        const std::string path = argument.substr(1, argument.size() - 2);
        if (rack) {
            const std::string rackName(FileNamePart(path));
            if (std::find(rackNames.begin(), rackNames.end(), rackName) != rackNames.end()) continue;
            rackNames.push_back(rackName);
        }
        if (!Exists(path, scriptFolder, fileExists)) {
            warnings.push_back(Prefix(i + 1) + "file not found: " + path);
        } else if (!rack) {
            warnings.push_back(Prefix(i + 1) + "image " + path +
                               " is not packaged: put it beside the program");
        }
    }
    return warnings;
}

}  // namespace korvane::workbench
