#pragma once

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QPoint>
#include <QStringList>
#include <QTimer>

#include "workbench/ui/user_dialogs.h"
#include "workbench/ui/workbench_app.h"

class QAction;
class QDialog;

namespace korvane::workbench::testing {

// Answers the workbench's dialogs from queues and records what it was asked.
class TFakeDialogs : public TUserDialogs {
public:
    std::deque<bool> answers;                      // for AskYesNo; No when empty
    std::deque<TSaveAnswer> saveAnswers;           // for AskSaveChanges; Discard when empty
    std::deque<int> lineNumbers;                   // for AskLineNumber; cancel when empty
    std::deque<std::optional<std::string>> files;  // for both file choosers; cancel when empty
    QStringList questions;
    QStringList messages;
    std::vector<std::string> saveSuggestions;
    std::vector<std::filesystem::path> startFolders;  // where each file chooser started
    std::vector<QUrl> opened;
    bool openerWorks = true;
    QDialog* modal = nullptr;
    QPoint modalAt;

    bool AskYesNo(QWidget*, const QString& question) override;
    TSaveAnswer AskSaveChanges(QWidget*, const QString& question) override;
    std::optional<int> AskLineNumber(QWidget*, int current, int last) override;
    std::optional<std::string> ChooseTextToSave(QWidget*, const std::filesystem::path&) override;
    void ShowMessage(QWidget*, const QString& text) override;
    std::optional<std::string> ChooseScriptToOpen(QWidget*, const std::filesystem::path&) override;
    std::optional<std::string> ChooseScriptToSave(QWidget*, const std::filesystem::path&,
                                                  const std::string& suggestion) override;
    std::optional<std::string> ChooseExecutableToSave(QWidget*,
                                                      const std::filesystem::path&) override;
    std::string InputBox(QWidget*, std::string_view, std::string_view,
                         std::string_view preset) override;
    void ShowModal(QDialog& dialog) override;
    bool OpenWithDesktop(const QUrl& url) override;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TTempFolder {
public:
    TTempFolder();
    ~TTempFolder();
    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

void WriteBytes(const std::filesystem::path& path, std::string_view bytes);
std::string ReadBytes(const std::filesystem::path& path);

// One workbench over a temporary folder: korvane.ini and the Help folder live there, the
// dialogs are fakes and the clock stands at 14:03:27.
class TWorkbenchFixture {
public:
    explicit TWorkbenchFixture(bool standalone = false);
    // A second start over the same folder (the settings file as the first one left it).
    void Restart();

    TMainForm& Form();
    TWorkbenchApp& App() { return *m_app; }
    const TTempFolder& Folder() const { return m_folder; }
    std::filesystem::path SettingsPath() const { return m_folder / "korvane.ini"; }
    TFakeDialogs dialogs;

    void SetScript(std::string_view text);
    QStringList LogLines();
    QAction* Action(const char* name);
    // A real mouse click on the toolbar button of the action.
    void Click(const char* buttonName);

private:
    TTempFolder m_folder;
    bool m_standalone;
    std::unique_ptr<TWorkbenchApp> m_app;
};

// User actions carried out while a run is on the stack: every pass of the event loop looks
// at the first step and, once its condition holds, performs it.
class TUserActions {
public:
    using TCondition = std::function<bool()>;
    using TAction = std::function<void()>;
    TUserActions();
    void Then(TCondition condition, TAction action);
    bool Done() const { return m_steps.empty(); }

private:
    void Poll();
    std::deque<std::pair<TCondition, TAction>> m_steps;
    QTimer m_timer;
};

}  // namespace korvane::workbench::testing
