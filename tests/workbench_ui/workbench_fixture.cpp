#include "workbench_fixture.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

#include <QAction>
#include <QDialog>
#include <QTest>
#include <QToolBar>

#include "workbench/ui/log_pane.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/script_editor.h"

namespace korvane::workbench::testing {

bool TFakeDialogs::AskYesNo(QWidget*, const QString& question) {
    questions.append(question);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

TSaveAnswer TFakeDialogs::AskSaveChanges(QWidget*, const QString& question) {
    questions.append(question);
    if (saveAnswers.empty()) return TSaveAnswer::Discard;
    const TSaveAnswer answer = saveAnswers.front();
    saveAnswers.pop_front();
    return answer;
}

std::optional<int> TFakeDialogs::AskLineNumber(QWidget*, int, int) {
    if (lineNumbers.empty()) return std::nullopt;
    const int line = lineNumbers.front();
    lineNumbers.pop_front();
    return line;
}

std::optional<std::string> TFakeDialogs::ChooseTextToSave(QWidget* parent,
                                                          const std::filesystem::path& folder) {
    return ChooseScriptToOpen(parent, folder);
}

void TFakeDialogs::ShowMessage(QWidget*, const QString& text) { messages.append(text); }

std::optional<std::string> TFakeDialogs::ChooseScriptToOpen(QWidget*,
                                                            const std::filesystem::path& folder) {
    startFolders.push_back(folder);
    if (files.empty()) return std::nullopt;
    auto file = files.front();
    files.pop_front();
    return file;
}

std::optional<std::string> TFakeDialogs::ChooseScriptToSave(QWidget* parent,
                                                            const std::filesystem::path& folder,
                                                            const std::string& suggestion) {
    saveSuggestions.push_back(suggestion);
    return ChooseScriptToOpen(parent, folder);
}

std::optional<std::string> TFakeDialogs::ChooseExecutableToSave(
    QWidget* parent, const std::filesystem::path& folder) {
    return ChooseScriptToOpen(parent, folder);
}

std::string TFakeDialogs::InputBox(QWidget*, std::string_view, std::string_view,
                                   std::string_view preset) {
    return std::string(preset);
}

void TFakeDialogs::ShowModal(QDialog& dialog) {
    modal = &dialog;
    modalAt = dialog.pos();
}

bool TFakeDialogs::OpenWithDesktop(const QUrl& url) {
    opened.push_back(url);
    return openerWorks;
}

TTempFolder::TTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvane-ui-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    m_path = pattern;
}

TTempFolder::~TTempFolder() {
    std::error_code error;
    std::filesystem::remove_all(m_path, error);
}

void WriteBytes(const std::filesystem::path& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TWorkbenchFixture::TWorkbenchFixture(bool standalone) : m_standalone(standalone) { Restart(); }

void TWorkbenchFixture::Restart() {
    m_app.reset();
    TWorkbenchOptions options;
    options.settingsPath = SettingsPath();
    options.executableFolder = m_folder.Path();
    options.dialogs = &dialogs;
    options.clock = [] { return engine::TLocalTime{2026, 12, 8, 14, 3, 27}; };
    options.standalone = m_standalone;
    m_app = std::make_unique<TWorkbenchApp>(std::move(options));
}

TMainForm& TWorkbenchFixture::Form() { return m_app->MainForm(); }

void TWorkbenchFixture::SetScript(std::string_view text) { Form().Editor().SetBytes(text); }

QStringList TWorkbenchFixture::LogLines() { return Form().Log().Lines(); }

QAction* TWorkbenchFixture::Action(const char* name) {
    return Form().findChild<QAction*>(QString::fromLatin1(name));
}

void TWorkbenchFixture::Click(const char* buttonName) {
    QAction* action = Action(buttonName);
    QWidget* button = Form().Bar(TBarId::ButtonBar)->widgetForAction(action);
    QTest::mouseClick(button, Qt::LeftButton);
}

TUserActions::TUserActions() {
    m_timer.setInterval(0);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
    m_timer.start();
}

void TUserActions::Then(TCondition condition, TAction action) {
    m_steps.emplace_back(std::move(condition), std::move(action));
}

void TUserActions::Poll() {
    if (m_steps.empty() || !m_steps.front().first()) return;
    TAction action = std::move(m_steps.front().second);
    m_steps.pop_front();
    action();
}

}  // namespace korvane::workbench::testing
