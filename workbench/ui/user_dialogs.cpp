#include "workbench/ui/user_dialogs.h"

#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "workbench/ui/file_rules.h"

namespace korvane::workbench {

namespace {

const QString kProductName = QStringLiteral("Korvane");

QString ScriptFilter() { return FromLatin1(kScriptFilter); }

QString ExecutableFilter() {
    return FromLatin1(QtFileFilter(kExecutableFilter)) + QStringLiteral(";;All files (*)");
}

}  // namespace

QString FromLatin1(std::string_view bytes) {
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string ToLatin1(const QString& text) { return text.toLatin1().toStdString(); }

QString FromFileName(std::string_view path) {
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string ToFileName(const QString& path) { return QFile::encodeName(path).toStdString(); }

bool TQtUserDialogs::AskYesNo(QWidget* parent, const QString& question) {
    return QMessageBox::question(parent, kProductName, question,
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

TSaveAnswer TQtUserDialogs::AskSaveChanges(QWidget* parent, const QString& question) {
    const auto answer = QMessageBox::warning(
        parent, kProductName, question,
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save) return TSaveAnswer::Save;
    if (answer == QMessageBox::Discard) return TSaveAnswer::Discard;
    return TSaveAnswer::Cancel;
}

std::optional<int> TQtUserDialogs::AskLineNumber(QWidget* parent, int current, int last) {
    bool confirmed = false;
    const int line = QInputDialog::getInt(parent, QStringLiteral("Go to line"),
                                          QStringLiteral("Line (1 - %1):").arg(last), current, 1,
                                          last, 1, &confirmed);
    if (!confirmed) return std::nullopt;
    return line;
}

std::optional<std::string> TQtUserDialogs::ChooseTextToSave(QWidget* parent,
                                                            const std::filesystem::path& folder) {
    const QString chosen = QFileDialog::getSaveFileName(
        parent, QStringLiteral("Save log as"), FromFileName((folder / "log.txt").native()),
        QStringLiteral("Text file (*.txt);;All files (*)"));
    if (chosen.isEmpty()) return std::nullopt;
    return ToFileName(chosen);
}

void TQtUserDialogs::ShowMessage(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, kProductName, text);
}

std::optional<std::string> TQtUserDialogs::ChooseScriptToOpen(
    QWidget* parent, const std::filesystem::path& folder) {
    const QString chosen =
        QFileDialog::getOpenFileName(parent, QStringLiteral("Open"), FromFileName(folder.native()),
                                     ScriptFilter());
    if (chosen.isEmpty()) return std::nullopt;
    return ToFileName(chosen);
}

std::optional<std::string> TQtUserDialogs::ChooseScriptToSave(
    QWidget* parent, const std::filesystem::path& folder, const std::string& suggestion) {
    const QString start = FromFileName((folder / suggestion).native());
    const QString chosen = QFileDialog::getSaveFileName(parent, QStringLiteral("Save as"), start,
                                                        ScriptFilter());
    if (chosen.isEmpty()) return std::nullopt;
    return ToFileName(chosen);
}

std::optional<std::string> TQtUserDialogs::ChooseExecutableToSave(
    QWidget* parent, const std::filesystem::path& folder, const std::string& suggestion) {
    QFileDialog dialog(parent, QStringLiteral("Save as"),
                       FromFileName((folder / suggestion).native()), ExecutableFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    // A name without extension is kept as it is: on Linux programs usually have none.
    dialog.setDefaultSuffix(QString());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return ToFileName(dialog.selectedFiles().front());
}

std::string TQtUserDialogs::InputBox(QWidget* parent, std::string_view caption,
                                     std::string_view prompt, std::string_view preset) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(FromLatin1(caption));
    dialog.setLabelText(FromLatin1(prompt));
    dialog.setTextValue(FromLatin1(preset));
    // Above the stay-on-top rack and terminal windows, or the run would wait on a dialog
    // nobody can reach.
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
    if (dialog.exec() != QDialog::Accepted) return std::string(preset);
    return ToLatin1(dialog.textValue());
}

void TQtUserDialogs::ShowModal(QDialog& dialog) { dialog.exec(); }

bool TQtUserDialogs::OpenWithDesktop(const QUrl& url) { return QDesktopServices::openUrl(url); }

}  // namespace korvane::workbench
