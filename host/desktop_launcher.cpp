#include "host/desktop_launcher.h"

#include <QDesktopServices>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

namespace korvane::host {

namespace {

// The file a name stands for: as named (relative to the current directory), else a program
// of that name on PATH.
QFileInfo Locate(const QString& name) {
    QFileInfo info(name);
    if (info.exists() || name.contains(QLatin1Char('/'))) return info;
    const QString onPath = QStandardPaths::findExecutable(name);
    return onPath.isEmpty() ? info : QFileInfo(onPath);
}

bool StartDetached(const QString& program) {
    QProcess process;
    process.setProgram(program);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    return process.startDetached();
}

}  // namespace

bool TDesktopLauncher::Open(const std::string& fileName) {
    if (fileName.empty() || fileName.find('\0') != std::string::npos) return false;
    const QFileInfo info = Locate(QFile::decodeName(fileName.c_str()));
    if (!info.exists()) return false;
    // An absolute path: a name such as "-x" can never pass for an option of the opener.
    const QString path = info.absoluteFilePath();
    if (info.isFile() && info.isExecutable()) return StartDetached(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace korvane::host
