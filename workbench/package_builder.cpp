#include "workbench/package_builder.h"

#include <algorithm>

#include "engine/text_utils.h"
#include "workbench/payload_area.h"
#include "workbench/payload_layout.h"
#include "workbench/payload_writer.h"
#include "workbench/rack_name.h"
#include "workbench/ucrypt.h"

namespace korvane::workbench {

namespace {

std::string Joined(std::string_view prefix, std::string_view rest) {
    std::string text(prefix);
    text += rest;
    return text;
}

// One Build: the payload grows step by step; the first failure ends it.
class TBuildRun {
 public:
    TBuildRun(const TBuildRequest& request, const TBuildEnvironment& environment)
        : m_request(request), m_env(environment) {}

    std::optional<std::string> Run() {
        m_env.log(kBuildingLine);
        const TReadResult executable = m_env.readFile(m_request.executable, kMaxExecutableSize);
        if (executable.status != TReadStatus::Ok) {
            return Fail(Joined(kNoProgramFilePrefix, m_request.executable.string()));
        }
        if (!FindPayloadSpace(executable.bytes)) return Fail(std::string(kNoPayloadAreaText));
        m_env.log(kAddingHeaderLine);
        m_env.log(kAddingScriptLine);
        if (!m_writer.AddScript(Scramble(m_request.scriptText, ScriptKey()))) {
            return Fail(std::string(kScriptNotPackableText));
        }
        m_env.log(kAddingRacksLine);
        if (!AddTerminalRack() || !AddScriptRacks()) return Fail(m_failure);
        if (m_rackCount == 0) return Fail(std::string(kNoRacksText));
        const std::string payload = m_writer.Finish();
        std::string problem;
        auto patched = m_tooBig ? std::nullopt : ApplyPayload(executable.bytes, payload, problem);
        if (!patched) return Fail(std::string(kTooBigText));
        m_env.log(kBuildDoneLine);
        return patched;
    }

 private:
    std::optional<std::string> Fail(const std::string& failure) {
        m_env.log(kBuildErrorLine);
        m_env.log(failure);
        return std::nullopt;
    }

    bool AddTerminalRack() {
        m_env.log(kAddingTerminalLine);
        const std::filesystem::path path =
            m_request.terminalLayout.empty()
                ? m_request.executable.parent_path() / std::string(kTerminalRackName)
                : m_request.terminalLayout;
        const TReadResult rack = m_env.readFile(path, kPayloadSpaceSize);
        if (rack.status != TReadStatus::Ok || !m_writer.AddRack(kTerminalRackName, rack.bytes)) {
            m_failure = Joined(kTerminalNotValidPrefix, *PaddedRackName(kTerminalRackName));
            return false;
        }
        m_packagedNames.emplace_back(kTerminalRackName);
        return true;
    }

    // False when a rack is missing, which ends the scan at once; a rack that cannot be read
    // only marks the build failed and the scan goes on.
    // A line whose rack name is packaged already is passed over before its file is looked
    // for: a script may name a second place for the same rack as a fallback, and the packaged
    // program finds the rack under its bare name anyway.
    bool AddScriptRacks() {
        for (const std::string& path : ListOpenrackPaths(m_request.scriptText)) {
            if (Packaged(FileNamePart(path))) continue;
            const std::optional<std::string> found = Locate(path);
            if (!found) {
                m_failure = Joined(kRackNotFoundPrefix, path);
                return false;
            }
            AddScriptRack(path, *found);
        }
        return m_failure.empty();
    }

    bool Packaged(std::string_view name) const {
        return std::find(m_packagedNames.begin(), m_packagedNames.end(), name) !=
               m_packagedNames.end();
    }

    // The rack's file: the path as written, else beside the script when it is relative.
    std::optional<std::string> Locate(const std::string& path) const {
        if (m_env.fileExists(path)) return path;
        if (path.empty() || m_request.scriptFolder.empty() ||
            std::filesystem::path(path).is_absolute()) {
            return std::nullopt;
        }
        const std::string besideScript = (m_request.scriptFolder / path).string();
        if (m_env.fileExists(besideScript)) return besideScript;
        return std::nullopt;
    }

    // `path` as the script writes it, for the log; `file` where it was found.
    void AddScriptRack(const std::string& path, const std::string& file) {
        const std::string_view name = FileNamePart(path);
        m_env.log(Joined(kFoundRackPrefix, path));
        if (!m_env.validateRack(file)) {
            m_env.log(Joined(kRackNotValidPrefix, path));
            return;
        }
        const TReadResult rack = m_env.readFile(file, kPayloadSpaceSize);
        const bool fits = rack.status != TReadStatus::TooLarge &&
                          m_writer.Size() + rack.bytes.size() < kPayloadSpaceSize;
        if (!fits) {
            // Counted, so the build reports the size and not a missing rack.
            m_tooBig = true;
            ++m_rackCount;
            return;
        }
        const bool added = rack.status == TReadStatus::Ok && BareRackName(name) &&
                           m_writer.AddRack(name, rack.bytes);
        if (!added) {
            if (m_failure.empty()) m_failure = Joined(kRackNotValidPrefix, path);
            return;
        }
        m_packagedNames.emplace_back(name);
        ++m_rackCount;
    }

    const TBuildRequest& m_request;
    const TBuildEnvironment& m_env;
    TPayloadWriter m_writer;
    std::vector<std::string> m_packagedNames;
    int m_rackCount = 0;
    bool m_tooBig = false;
    std::string m_failure;
};

// The first argument of an openrack line with its first and last character removed.
std::string OpenrackPath(std::string_view line) {
    std::string name;
    std::vector<std::string> args;
    engine::SplitCall(line, name, args);
    if (args.empty() || args.front().size() < 2) return {};
    return args.front().substr(1, args.front().size() - 2);
}

}  // namespace

std::vector<std::string> ListOpenrackPaths(std::string_view scriptText) {
    std::vector<std::string> paths;
    while (!scriptText.empty()) {
        const std::size_t end = scriptText.find('\n');
        const std::string_view line = engine::TrimView(scriptText.substr(0, end));
        if (engine::StartsWith(line, "openrack")) paths.push_back(OpenrackPath(line));
        scriptText.remove_prefix(end == std::string_view::npos ? scriptText.size() : end + 1);
    }
    return paths;
}

std::optional<std::string> BuildPackage(const TBuildRequest& request,
                                        const TBuildEnvironment& environment) {
    return TBuildRun(request, environment).Run();
}

TBuildEnvironment SystemBuildEnvironment(
    std::function<void(std::string_view line)> log,
    std::function<bool(const std::string& path)> validateRack) {
    TBuildEnvironment environment;
    environment.log = std::move(log);
    environment.fileExists = [](const std::string& path) { return IsRegularFile(path); };
    environment.readFile = ReadFileBounded;
    environment.validateRack = std::move(validateRack);
    return environment;
}

bool WritePackagedExecutable(const std::filesystem::path& path, std::string_view bytes,
                             std::string& problem) {
    return WriteFileReplacing(path, bytes, TFileMode::Executable, problem);
}

}  // namespace korvane::workbench
