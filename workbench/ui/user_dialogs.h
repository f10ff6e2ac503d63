#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include <QString>
#include <QUrl>

class QDialog;
class QWidget;

namespace korvane::workbench {

enum class TSaveAnswer { Save, Discard, Cancel };

// Every question, message, file choice and desktop hand-over of the workbench goes through
// here, so tests can answer them without modal windows.
class TUserDialogs {
public:
    virtual ~TUserDialogs() = default;
    virtual bool AskYesNo(QWidget* parent, const QString& question) = 0;
    // Save, Discard and Cancel for edits that would otherwise be lost.
    virtual TSaveAnswer AskSaveChanges(QWidget* parent, const QString& question) = 0;
    // Go to line: a line number 1..last, none when cancelled.
    virtual std::optional<int> AskLineNumber(QWidget* parent, int current, int last) = 0;
    // The log pane's Save as: a plain text file.
    virtual std::optional<std::string> ChooseTextToSave(QWidget* parent,
                                                        const std::filesystem::path& folder) = 0;
    virtual void ShowMessage(QWidget* parent, const QString& text) = 0;
    // Paths come back as the file system's bytes.
    virtual std::optional<std::string> ChooseScriptToOpen(QWidget* parent,
                                                          const std::filesystem::path& folder) = 0;
    virtual std::optional<std::string> ChooseScriptToSave(QWidget* parent,
                                                          const std::filesystem::path& folder,
                                                          const std::string& suggestion) = 0;
    // Build's save dialog for the packaged program; asks before replacing a file.
    // `suggestion` is the file name offered, in `folder`.
    virtual std::optional<std::string> ChooseExecutableToSave(
        QWidget* parent, const std::filesystem::path& folder,
        const std::string& suggestion) = 0;
    // Gives the preset when the user cancels.
    virtual std::string InputBox(QWidget* parent, std::string_view caption,
                                 std::string_view prompt, std::string_view preset) = 0;
    virtual void ShowModal(QDialog& dialog) = 0;
    // The desktop's "open" action; false when it could not be handed over.
    virtual bool OpenWithDesktop(const QUrl& url) = 0;
};

// The real dialogs of the desktop.
class TQtUserDialogs : public TUserDialogs {
public:
    bool AskYesNo(QWidget* parent, const QString& question) override;
    TSaveAnswer AskSaveChanges(QWidget* parent, const QString& question) override;
    std::optional<int> AskLineNumber(QWidget* parent, int current, int last) override;
    std::optional<std::string> ChooseTextToSave(QWidget* parent,
                                                const std::filesystem::path& folder) override;
    void ShowMessage(QWidget* parent, const QString& text) override;
    std::optional<std::string> ChooseScriptToOpen(QWidget* parent,
                                                  const std::filesystem::path& folder) override;
    std::optional<std::string> ChooseScriptToSave(QWidget* parent,
                                                  const std::filesystem::path& folder,
                                                  const std::string& suggestion) override;
    std::optional<std::string> ChooseExecutableToSave(
        QWidget* parent, const std::filesystem::path& folder,
        const std::string& suggestion) override;
    std::string InputBox(QWidget* parent, std::string_view caption, std::string_view prompt,
                         std::string_view preset) override;
    void ShowModal(QDialog& dialog) override;
    bool OpenWithDesktop(const QUrl& url) override;
};

QString FromLatin1(std::string_view bytes);
std::string ToLatin1(const QString& text);
QString FromFileName(std::string_view path);
std::string ToFileName(const QString& path);

}  // namespace korvane::workbench
