// The main window's file, run and help actions.
#include <optional>
#include <system_error>

#include <QTimer>
#include <QToolBar>

#include "workbench/file_io.h"
#include "workbench/package_builder.h"
#include "workbench/ui/about_window.h"
#include "workbench/run_folder.h"
#include "workbench/ui/executable_build.h"
#include "workbench/ui/failure_marks.h"
#include "workbench/ui/file_rules.h"
#include "workbench/ui/help_window.h"
#include "workbench/ui/log_links.h"
#include "workbench/ui/log_pane.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/run_report.h"
#include "workbench/ui/script_editor.h"
#include "workbench/ui/status_line.h"
#include "workbench/ui/user_dialogs.h"
#include "workbench/ui/watch_window.h"
#include "workbench/ui/workbench_context.h"

namespace korvane::workbench {

namespace {

constexpr QPoint kAboutOffset(125, 125);

// Saving through a symbolic link writes the file it points to, not a new file in its place.
std::filesystem::path ResolvedTarget(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_symlink(path, error)) return path;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    return error ? std::filesystem::path(path) : target;
}

}  // namespace

void TMainForm::RunScript() {
    if (m_runControl.Active()) {
        m_runControl.Run({});
        return;
    }
    StartRun();
}

engine::TRunOutcome TMainForm::StartRun() {
    const TModuleHooks& modules = m_context.modules;
    m_editor->MarkErrorLine(-1);
    m_failureMarks->Clear();
    m_status->SetProblems({});
    m_fatalLine = -1;
    m_lastRunLine = -1;
    m_stopPressed = false;
    m_watch.Clear();
    m_host.Stops().SetBreakpoints(m_editor->Breakpoints());
    m_runLineTimer->start();
    if (modules.runActive) modules.runActive(true);
    engine::TRunOutcome outcome;
    {
        // A packaged program runs where it was started, beside the racks it wrote out.
        std::optional<TRunFolder> folder;
        if (!m_context.standalone) folder.emplace(RunFolderFor(m_currentFile));
        outcome = m_runControl.Run(m_editor->Lines());
    }
    if (modules.runActive) modules.runActive(false);
    m_runLineTimer->stop();
    m_host.Stops().ClearOneTimeStop();
    m_status->SetRunLine(-1);
    m_editor->MarkStepLine(-1);
    MarkRunFailure(outcome);
    return outcome;
}

void TMainForm::MarkRunFailure(engine::TRunOutcome outcome) {
    switch (outcome) {
        case engine::TRunOutcome::Refused:
            ShowRefusal(m_runControl.BlockCheck(), *m_editor, *m_failureMarks, *m_status);
            return;
        case engine::TRunOutcome::FatalError:
            m_fatalLine = m_lastRunLine;
            m_editor->MarkErrorLine(m_fatalLine);
            break;
        case engine::TRunOutcome::Finished:
        case engine::TRunOutcome::AlreadyRunning:
            break;
    }
    m_status->SetState(m_stopPressed ? TRunState::Stopped : TRunState::Finished);
    ShowFailures(m_runControl.Failures(), *m_failureMarks, *m_status);
}

int TMainForm::RunningLine() {
    const engine::TExecute* run = m_runControl.Current();
    return run == nullptr ? -1 : run->RunningLine();
}

void TMainForm::ShowRunLine() {
    const int line = RunningLine();
    m_status->SetRunLine(line);
    const bool waiting = m_phase == TRunPhase::Stepping || m_phase == TRunPhase::Paused;
    m_editor->MarkStepLine(waiting ? line : -1);
    // While the run waits, one line is marked: showline's mark of the statement before goes.
    if (waiting && m_editor->MarkedLine() != line) m_editor->MarkCurrentLine(-1);
}

engine::TRunOutcome TMainForm::RunStandalone(std::string_view scriptText) {
    hide();
    m_editor->SetBytes(scriptText);
    m_savedBytes = scriptText;
    return StartRun();
}

void TMainForm::BuildExecutable() {
    const auto log = [this](std::string_view line) { m_log->AppendItem(line); };
    const std::optional<std::string> packaged = BuildFromWorkbench(m_context, m_editor->Lines(), m_currentFile, log);
    if (!packaged) return;
    const std::filesystem::path scriptFile(m_currentFile);
    const std::string suggestion =
        m_currentFile.empty() ? "untitled" : scriptFile.stem().string();
    const auto chosen =
        m_context.dialogs->ChooseExecutableToSave(this, DialogFolder(), suggestion);
    if (!chosen) {
        log(kBuildCancelledLine);
        return;
    }
    NoteFolder(*chosen);
    std::string problem;
    if (!WritePackagedExecutable(*chosen, *packaged, problem)) {
        m_context.dialogs->ShowMessage(this, FromLatin1(kSaveErrorText) + QStringLiteral(": ") +
                                                 FromFileName(problem));
        return;
    }
    std::error_code error;
    const std::filesystem::path written = std::filesystem::absolute(*chosen, error);
    log(WrittenProgramLine(error ? std::filesystem::path(*chosen) : written, packaged->size()));
}

void TMainForm::StopScript() {
    if (Running()) m_stopPressed = true;
    m_runControl.Stop();
}

void TMainForm::PauseScript() { m_runControl.Pause(); }

void TMainForm::ChooseAndOpen() {
    if (Running()) return;
    const auto chosen = m_context.dialogs->ChooseScriptToOpen(this, DialogFolder());
    if (!chosen) return;
    NoteFolder(*chosen);
    OpenFile(*chosen);
}

void TMainForm::OpenFile(const std::string& path) {
    if (Running() || !MayDiscardEdits()) return;
    if (LoadFile(path)) RememberFile(path);
}

bool TMainForm::LoadFile(const std::string& path) {
    const TReadResult file = ReadFileBounded(path, kMaxScriptFileSize);
    if (file.status != TReadStatus::Ok) {
        m_context.dialogs->ShowMessage(this, FromLatin1(kLoadErrorPrefix) + FromFileName(path));
        return false;
    }
    m_editor->SetBytes(file.bytes);
    SetCurrentFile(path, file.bytes);
    // The last run's state and marks belong to the text that was here before.
    m_status->SetState(TRunState::Idle);
    m_status->SetProblems({});
    m_failureMarks->Clear();
    RestoreBreakpoints();
    return true;
}

void TMainForm::OpenRecent(const std::string& path) {
    if (!Running() && MayDiscardEdits()) LoadFile(path);
}

void TMainForm::LoadAndRun(const std::string& path) {
    if (Running() || !MayDiscardEdits() || !LoadFile(path)) return;
    RememberFile(path);
    RunScript();
}

void TMainForm::NewScript() {
    if (Running() || !MayDiscardEdits()) return;
    m_editor->SetBytes({});
    SetCurrentFile({}, {});
}

bool TMainForm::SaveScript() {
    if (m_currentFile.empty()) return SaveScriptAs();
    const std::string bytes = m_editor->Bytes();
    if (!WriteScript(m_currentFile, bytes)) {
        m_context.dialogs->ShowMessage(this, FromLatin1(kSaveErrorText));
        return false;
    }
    SetCurrentFile(m_currentFile, bytes);
    StoreBreakpoints();
    return true;
}

bool TMainForm::SaveScriptAs() {
    const auto chosen = m_context.dialogs->ChooseScriptToSave(
        this, DialogFolder(), SaveAsSuggestion(CaptionWithoutMarker()));
    if (!chosen) return false;
    NoteFolder(*chosen);
    const std::string target = SaveAsTarget(*chosen);
    const std::string bytes = m_editor->Bytes();
    if (!WriteScript(target, bytes)) {
        m_context.dialogs->ShowMessage(this, FromLatin1(kSaveErrorText));
        return false;
    }
    SetCurrentFile(target, bytes);
    StoreBreakpoints();
    RememberFile(target);
    return true;
}

bool TMainForm::Modified() const { return !m_editor->HoldsBytes(m_savedBytes); }

bool TMainForm::MayDiscardEdits() {
    if (m_context.standalone || !Modified()) return true;
    const std::string name = RecentLabel(m_currentFile.empty() ? kUntitledName : m_currentFile);
    const QString question =
        QStringLiteral("Save changes to ") + FromFileName(name) + QStringLiteral("?");
    switch (m_context.dialogs->AskSaveChanges(this, question)) {
        case TSaveAnswer::Save:
            return SaveScript();
        case TSaveAnswer::Discard:
            return true;
        case TSaveAnswer::Cancel:
            break;
    }
    return false;
}

void TMainForm::SetCurrentFile(const std::string& path, std::string_view savedBytes) {
    m_currentFile = path;
    m_savedBytes = savedBytes;
    std::error_code error;
    const std::filesystem::path full =
        path.empty() ? std::filesystem::path() : std::filesystem::absolute(path, error);
    m_status->SetPath(FromFileName(full.native()));
    RefreshCaption();
}

std::string TMainForm::CaptionWithoutMarker() const {
    return CaptionFor(m_currentFile.empty() ? kUntitledName : m_currentFile);
}

void TMainForm::RefreshCaption() {
    QString caption = FromFileName(CaptionWithoutMarker());
    if (Modified()) caption += QLatin1Char('*');
    if (caption != windowTitle()) setWindowTitle(caption);
}

bool TMainForm::WriteScript(const std::string& path, std::string_view bytes) {
    std::string problem;
    return WriteFileReplacing(ResolvedTarget(path), bytes, TFileMode::Regular, problem);
}

const std::vector<std::string>& TMainForm::RecentFiles() const {
    return m_context.settings.recentFiles;
}

void TMainForm::RememberFile(const std::string& path) {
    AddRecentFile(m_context.settings.recentFiles, path);
    RefreshRecentBar();
}

void TMainForm::RefreshRecentBar() {
    QToolBar* bar = Bar(TBarId::RecentBar);
    const QList<QAction*> old = bar->actions();
    bar->clear();
    for (QAction* action : old) action->deleteLater();
    for (const std::string& path : m_context.settings.recentFiles) {
        QAction* entry = bar->addAction(FromFileName(RecentLabel(path)));
        entry->setToolTip(FromFileName(path));
        connect(entry, &QAction::triggered, this, [this, path] { OpenRecent(path); });
    }
}

// Help and About only read: they stay available while a script runs.
void TMainForm::ShowHelp() {
    const std::filesystem::path page = HelpPagePath(m_context.executableFolder);
    const QString name = FromFileName(page.native());
    if (!IsRegularFile(page)) {
        m_context.dialogs->ShowMessage(this, QStringLiteral("Cannot open the help page ") + name);
        return;
    }
    if (m_help == nullptr) {
        m_help = new TFrmHelp(this);
        m_help->SetBrowserOpener([this](const QUrl& url) {
            if (!m_context.dialogs->OpenWithDesktop(url)) {
                m_context.dialogs->ShowMessage(m_help, QStringLiteral("Cannot open ") + url.toString());
            }
        });
    }
    m_help->SetDark(m_editor->DarkTheme());
    m_help->Open(QUrl::fromLocalFile(name));
    m_help->show();
    m_help->raise();
    m_help->activateWindow();
}

void TMainForm::OpenUrl(const QString& url) {
    if (!m_context.dialogs->OpenWithDesktop(QUrl(url))) {
        m_context.dialogs->ShowMessage(this, QStringLiteral("Cannot open ") + url);
    }
}

std::filesystem::path TMainForm::DialogFolder() const {
    return DialogFolderFor(m_currentFile, m_lastFolder);
}

void TMainForm::NoteFolder(const std::string& chosen) {
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(chosen, error);
    if (!error) m_lastFolder = full.parent_path();
}

void TMainForm::GoToLogLine(const QString& line) {
    const std::string bytes = ToLatin1(line);
    if (const auto refused = RefusalLine(m_runControl.BlockCheck(), bytes)) {
        m_editor->GoToLine(*refused);
    } else if (const auto number = LogLineNumber(bytes)) {
        m_editor->GoToLine(*number - 1);
    } else if (IsFatalErrorLine(bytes) && m_fatalLine >= 0) {
        m_editor->GoToLine(m_fatalLine);
    }
}

void TMainForm::GoToLine() {
    int line = 0;
    int column = 0;
    m_editor->getCursorPosition(&line, &column);
    const auto chosen = m_context.dialogs->AskLineNumber(this, line + 1, m_editor->lines());
    if (chosen) m_editor->GoToLine(*chosen - 1);
}

void TMainForm::SaveLog() {
    const auto chosen = m_context.dialogs->ChooseTextToSave(this, DialogFolder());
    if (!chosen) return;
    NoteFolder(*chosen);
    std::string problem;
    if (!WriteFileReplacing(*chosen, m_log->TextBytes(), TFileMode::Regular, problem)) {
        m_context.dialogs->ShowMessage(this, FromLatin1(kSaveErrorText) + QStringLiteral(": ") +
                                                 FromFileName(problem));
    }
}

void TMainForm::ShowAbout() { ShowAboutNow(); }

// During a run the About window must not hold the run in a modal loop: it opens beside it.
void TMainForm::ShowAboutNow() {
    m_about.move(pos() + kAboutOffset);
    m_about.SetSettingsPath(FromFileName(m_context.settingsPath.native()));
    if (Running()) {
        m_about.show();
        m_about.raise();
    } else {
        m_context.dialogs->ShowModal(m_about);
    }
}

bool TMainForm::RackToggleAllowed() const { return m_context.rackOpen && Running(); }

void TMainForm::ToggleMainForRack() {
    if (!RackToggleAllowed()) return;
    const TModuleHooks& modules = m_context.modules;
    if (modules.rackVisible && modules.rackVisible()) {
        hide();
        return;
    }
    // Escape in the rack hid the rack: Escape here brings it back, so neither window is lost.
    show();
    if (modules.showRack) modules.showRack();
}

}  // namespace korvane::workbench
