#include "workbench/startup.h"

#include "workbench/file_io.h"
#include "workbench/payload_area.h"
#include "workbench/payload_reader.h"
#include "workbench/rack_name.h"
#include "workbench/ucrypt.h"

namespace korvane::workbench {

namespace {

TStartupPlan FailedPlan(std::string problem) {
    TStartupPlan plan;
    plan.mode = TStartMode::StandaloneFailed;
    plan.problem = std::move(problem);
    return plan;
}

}  // namespace

TStartupPlan PlanStartup(std::span<const std::string> arguments,
                         const TStartupEnvironment& environment) {
    TStartupPlan plan;
    if (arguments.size() == 1 && environment.fileExists(arguments.front())) {
        plan.mode = TStartMode::ScriptFile;
        plan.scriptPath = arguments.front();
        return plan;
    }
    TPayloadReading reading = ReadPayload(environment.readOwnPayloadSpace());
    if (reading.status == TPayloadStatus::Absent) return plan;
    if (reading.status == TPayloadStatus::Malformed) return FailedPlan(reading.problem);

    bool allWritten = true;
    for (const TRackFile& rack : reading.payload.racks) {
        if (!environment.writeRack(rack)) allWritten = false;
    }
    if (!allWritten) return FailedPlan("a packaged rack file could not be written");
    plan.mode = TStartMode::Standalone;
    plan.scriptText = Scramble(reading.payload.scrambledScript, ScriptKey());
    return plan;
}

bool CarriesPayload(const TStartupEnvironment& environment) {
    return ReadPayload(environment.readOwnPayloadSpace()).status != TPayloadStatus::Absent;
}

bool WriteRackFile(const std::filesystem::path& folder, const TRackFile& rack,
                   std::string& problem) {
    // The reader hands out bare names already; checking again keeps this safe on its own.
    const auto name = BareRackName(rack.name);
    if (!name || *name != rack.name) {
        problem = "unsafe rack file name";
        return false;
    }
    return WriteFileReplacing(folder / *name, rack.bytes, TFileMode::Regular, problem);
}

std::function<bool(const TRackFile& rack)> RackWriter(std::filesystem::path folder) {
    return [folder = std::move(folder)](const TRackFile& rack) {
        std::string problem;
        return !folder.empty() && WriteRackFile(folder, rack, problem);
    };
}

TStartupEnvironment SystemStartupEnvironment() {
    TStartupEnvironment environment;
    environment.fileExists = [](const std::string& path) { return IsRegularFile(path); };
    environment.readOwnPayloadSpace = [] { return ReadOwnPayloadSpace(); };
    environment.writeRack = RackWriter({});
    return environment;
}

}  // namespace korvane::workbench
