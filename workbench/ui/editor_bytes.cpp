#include "workbench/ui/editor_bytes.h"

#include <Qsci/qsciscintilla.h>

namespace korvane::workbench {

namespace {

std::string_view Range(const QsciScintilla& editor, long from, long length) {
    if (length <= 0) return {};
    const long pointer = editor.SendScintilla(QsciScintilla::SCI_GETRANGEPOINTER,
                                              static_cast<unsigned long>(from), length);
    if (pointer == 0) return {};
    return {reinterpret_cast<const char*>(pointer), static_cast<std::size_t>(length)};
}

}  // namespace

std::string DocumentBytes(const QsciScintilla& editor) {
    const long length = editor.SendScintilla(QsciScintilla::SCI_GETLENGTH);
    return std::string(Range(editor, 0, length));
}

void SetDocumentBytes(QsciScintilla& editor, std::string_view bytes) {
    editor.SendScintilla(QsciScintilla::SCI_CLEARALL);
    if (!bytes.empty()) {
        editor.SendScintilla(QsciScintilla::SCI_APPENDTEXT,
                             static_cast<uintptr_t>(bytes.size()), bytes.data());
    }
}

std::string_view LineBytes(const QsciScintilla& editor, int line) {
    const long from = editor.SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line);
    const long lineCount = editor.SendScintilla(QsciScintilla::SCI_GETLINECOUNT);
    const long to = line + 1 < lineCount
                        ? editor.SendScintilla(QsciScintilla::SCI_POSITIONFROMLINE, line + 1)
                        : editor.SendScintilla(QsciScintilla::SCI_GETLENGTH);
    if (from < 0) return {};
    return Range(editor, from, to - from);
}

}  // namespace korvane::workbench
