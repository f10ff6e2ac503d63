// The main window's file, run and help actions.
#include <system_error>

#include <QToolBar>

#include "workbench/file_io.h"
#include "workbench/package_builder.h"
#include "workbench/ui/about_window.h"
#include "workbench/ui/executable_build.h"
#include "workbench/ui/file_rules.h"
#include "workbench/ui/log_pane.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/script_editor.h"
#include "workbench/ui/user_dialogs.h"
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
    if (modules.runActive) modules.runActive(true);
    const engine::TRunOutcome outcome = m_runControl.Run(m_editor->Lines());
    if (modules.runActive) modules.runActive(false);
    return outcome;
}

engine::TRunOutcome TMainForm::RunStandalone(std::string_view scriptText) {
    hide();
    m_editor->SetBytes(scriptText);
    return StartRun();
}

void TMainForm::BuildExecutable() {
    const auto log = [this](std::string_view line) { m_log->AppendItem(line); };
    const std::optional<std::string> packaged = BuildFromWorkbench(m_context, m_editor->Lines(), log);
    if (!packaged) return;
    const auto chosen =
        m_context.dialogs->ChooseExecutableToSave(this, m_context.executableFolder);
    if (!chosen) return;
    std::string problem;
    if (!WritePackagedExecutable(*chosen, *packaged, problem)) {
        m_context.dialogs->ShowMessage(this, FromLatin1(kSaveErrorText) + QStringLiteral(": ") +
                                                 FromFileName(problem));
    }
}

void TMainForm::StopScript() { m_runControl.Stop(); }

void TMainForm::PauseScript() { m_runControl.Pause(); }

void TMainForm::ChooseAndOpen() {
    const auto chosen = m_context.dialogs->ChooseScriptToOpen(this, m_context.executableFolder);
    if (chosen) OpenFile(*chosen);
}

void TMainForm::OpenFile(const std::string& path) {
    if (m_editor->HasText() && !m_context.dialogs->AskYesNo(this, FromLatin1(kOpenQuestion))) {
        return;
    }
    if (LoadFile(path)) RememberFile(path);
}

bool TMainForm::LoadFile(const std::string& path) {
    const TReadResult file = ReadFileBounded(path, kMaxScriptFileSize);
    if (file.status != TReadStatus::Ok) {
        m_context.dialogs->ShowMessage(this, FromLatin1(kLoadErrorPrefix) + FromFileName(path));
        return false;
    }
    m_editor->SetBytes(file.bytes);
    setWindowTitle(FromFileName(CaptionFor(path)));
    m_currentFile = path;
    return true;
}

void TMainForm::OpenRecent(const std::string& path) { LoadFile(path); }

void TMainForm::LoadAndRun(const std::string& path) {
    const TReadResult file = ReadFileBounded(path, kMaxScriptFileSize);
    if (file.status != TReadStatus::Ok) {
        m_context.dialogs->ShowMessage(this, FromLatin1(kLoadErrorPrefix) + FromFileName(path));
        return;
    }
    m_editor->SetBytes(file.bytes);
    RunScript();
}

void TMainForm::NewScript() {
    m_editor->SetBytes({});
    setWindowTitle(FromLatin1(CaptionFor(kUntitledName)));
    m_currentFile.clear();
}

void TMainForm::SaveScript() {
    if (m_currentFile.empty()) {
        SaveScriptAs();
    } else if (!WriteScript(m_currentFile)) {
        m_context.dialogs->ShowMessage(this, FromLatin1(kSaveErrorText));
    }
}

void TMainForm::SaveScriptAs() {
    const auto chosen = m_context.dialogs->ChooseScriptToSave(
        this, m_context.executableFolder, SaveAsSuggestion(ToLatin1(windowTitle())));
    if (!chosen) return;
    const std::string target = SaveAsTarget(*chosen);
    if (!WriteScript(target)) {
        m_context.dialogs->ShowMessage(this, FromLatin1(kSaveErrorText));
        return;
    }
    setWindowTitle(FromFileName(CaptionFor(target)));
    m_currentFile = target;
    RememberFile(target);
}

bool TMainForm::WriteScript(const std::string& path) {
    std::string problem;
    return WriteFileReplacing(ResolvedTarget(path), m_editor->Bytes(), TFileMode::Regular,
                              problem);
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

void TMainForm::ShowHelp() {
    if (Running()) return;
    const std::filesystem::path page = HelpPagePath(m_context.executableFolder);
    const QString name = FromFileName(page.native());
    if (!IsRegularFile(page) || !m_context.dialogs->OpenWithDesktop(QUrl::fromLocalFile(name))) {
        m_context.dialogs->ShowMessage(this, QStringLiteral("Cannot open the help page ") + name);
    }
}

void TMainForm::ShowAbout() {
    if (!Running()) ShowAboutNow();
}

void TMainForm::ShowAboutNow() {
    m_about.move(pos() + kAboutOffset);
    m_context.dialogs->ShowModal(m_about);
}

bool TMainForm::RackToggleAllowed() const { return m_context.rackOpen && Running(); }

void TMainForm::ToggleMainForRack() {
    if (!RackToggleAllowed()) return;
    const auto& rackVisible = m_context.modules.rackVisible;
    if (rackVisible && rackVisible()) {
        hide();
    } else {
        show();
    }
}

}  // namespace korvane::workbench
