#include "tools/toolkit_messages.h"

#include <QString>
#include <QtGlobal>
#include <mutex>
#include <string>
#include <vector>

namespace korvane::tools {

namespace {

struct THeldNote {
    QtMsgType type;
    QString file;
    QString function;
    QString category;
    int line;
    QString text;
};

// Serial reader threads may log too.
std::mutex g_mutex;
QtMessageHandler g_previous = nullptr;
bool g_starting = true;
std::vector<THeldNote> g_held;

void PassOn(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (g_previous) g_previous(type, context, text);
}

void OnToolkitMessage(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    std::lock_guard lock(g_mutex);
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        for (const THeldNote& note : g_held) {
            const QByteArray file = note.file.toUtf8();
            const QByteArray function = note.function.toUtf8();
            const QByteArray category = note.category.toUtf8();
            const QMessageLogContext noteContext(file.constData(), note.line, function.constData(),
                                                 category.constData());
            PassOn(note.type, noteContext, note.text);
        }
        g_held.clear();
        PassOn(type, context, text);
        return;
    }
    if (g_starting && type == QtWarningMsg) {
        g_held.push_back({type, QString::fromUtf8(context.file),
                          QString::fromUtf8(context.function),
                          QString::fromUtf8(context.category), context.line, text});
    }
}

}  // namespace

void HoldToolkitStartupNotes() {
    std::lock_guard lock(g_mutex);
    g_starting = true;
    g_previous = qInstallMessageHandler(OnToolkitMessage);
}

void ToolkitStarted() {
    std::lock_guard lock(g_mutex);
    g_starting = false;
    g_held.clear();
}

}  // namespace korvane::tools
