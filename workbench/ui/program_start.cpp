#include "workbench/ui/program_start.h"

#include <QApplication>
#include <algorithm>

#include "engine/text_utils.h"
#include "workbench/file_io.h"
#include "workbench/package_builder.h"
#include "workbench/ui/executable_build.h"
#include "workbench/ui/file_rules.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/user_dialogs.h"
#include "workbench/ui/workbench_app.h"

namespace korvane::workbench {

namespace {

int ExitCodeFor(engine::TRunOutcome outcome) {
    switch (outcome) {
        case engine::TRunOutcome::Finished:
            return kExitNormal;
        case engine::TRunOutcome::FatalError:
            return kExitFatal;
        case engine::TRunOutcome::Refused:
            return kExitRefused;
        case engine::TRunOutcome::AlreadyRunning:
            break;
    }
    return kExitFatal;
}

}  // namespace

bool IsBuildCommand(std::span<const std::string> arguments) {
    return arguments.size() == 3 && arguments[0] == "--build";
}

bool HasUnknownOption(std::span<const std::string> arguments) {
    if (IsBuildCommand(arguments)) return false;
    return std::any_of(arguments.begin(), arguments.end(), [](const std::string& argument) {
        return argument.size() > 1 && argument.front() == '-';
    });
}

int StartProgram(TWorkbenchApp& workbench, const TStartupPlan& plan, std::ostream& errors) {
    TMainForm& form = workbench.MainForm();
    switch (plan.mode) {
        case TStartMode::StandaloneFailed:
            errors << kResourcesErrorText << " (" << plan.problem << ")\n";
            workbench.Context().dialogs->ShowMessage(nullptr, FromLatin1(kResourcesErrorText));
            return kExitCannotStart;
        case TStartMode::Standalone: {
            const engine::TRunOutcome outcome = form.RunStandalone(plan.scriptText);
            // The main window stays hidden and the script log is silent, so a refused script
            // or a fatal error would otherwise go unseen.
            if (outcome == engine::TRunOutcome::Refused) {
                errors << "The packaged script did not pass the block check.\n";
            } else if (outcome == engine::TRunOutcome::FatalError) {
                errors << "Fatal error: " << form.LastRunFailure() << '\n';
            }
            return ExitCodeFor(outcome);
        }
        case TStartMode::ScriptFile:
            // Shown first, so the Stop button can be reached during the run.
            form.show();
            form.LoadAndRun(plan.scriptPath);
            if (form.Closed()) return kExitNormal;
            break;
        case TStartMode::Normal:
            form.show();
            form.OfferRecovery();
            break;
    }
    return QApplication::exec();
}

int BuildFromCommandLine(TWorkbenchApp& workbench, const std::string& script,
                         const std::string& target, std::ostream& log, std::ostream& errors) {
    const TReadResult file = ReadFileBounded(script, kMaxScriptFileSize);
    if (file.status != TReadStatus::Ok) {
        errors << kLoadErrorPrefix << script << '\n';
        return kExitCannotStart;
    }
    std::string lastLine;
    const auto toLog = [&log, &lastLine](std::string_view line) {
        log << line << '\n';
        lastLine = line;
    };
    const std::optional<std::string> packaged =
        BuildFromWorkbench(workbench.Context(), engine::SplitLines(file.bytes), script, toLog);
    if (!packaged) {
        // The failure text is the line after "Error building:".
        errors << lastLine << '\n';
        return kExitFatal;
    }
    std::string problem;
    if (!WritePackagedExecutable(target, *packaged, problem)) {
        errors << kSaveErrorText << ": " << problem << '\n';
        return kExitFatal;
    }
    return kExitNormal;
}

}  // namespace korvane::workbench
