#include "workbench/ui/executable_build.h"

#include "host/program_files.h"
#include "workbench/package_builder.h"
#include "workbench/package_warnings.h"
#include "workbench/payload_layout.h"
#include "workbench/ui/workbench_context.h"

namespace korvane::workbench {

std::string BuildText(const std::vector<std::string>& lines) {
    std::string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += "\r\n";
        text += lines[i];
    }
    return text;
}

std::string WrittenProgramLine(const std::filesystem::path& path, std::size_t bytes) {
    return "Program written: " + path.string() + " (" + std::to_string(bytes) + " bytes)";
}

std::optional<std::string> BuildFromWorkbench(const TWorkbenchContext& context,
                                              const std::vector<std::string>& lines,
                                              const std::filesystem::path& scriptFile,
                                              std::function<void(std::string_view)> log) {
    const std::string text = BuildText(lines);
    std::function<bool(const std::string&)> validate = context.modules.validateRack;
    if (!validate) validate = [](const std::string&) { return false; };
    const TBuildEnvironment environment = SystemBuildEnvironment(std::move(log), validate);
    // An installed program keeps terminal.res in its data folder, not beside itself.
    const std::filesystem::path terminalLayout = host::ProgramFile(
        context.executablePath.parent_path(), std::string(kTerminalRackName));
    std::optional<std::string> packaged = BuildPackage(
        {context.executablePath, text, scriptFile.parent_path(), terminalLayout}, environment);
    if (!packaged) return packaged;
    for (const std::string& warning :
         PackagingWarnings(text, scriptFile.parent_path(), environment.fileExists)) {
        environment.log(warning);
    }
    return packaged;
}

}  // namespace korvane::workbench
