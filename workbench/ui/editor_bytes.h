#pragma once

#include <string>
#include <string_view>

class QsciScintilla;

namespace korvane::workbench {

// The editor holds script bytes as they are, each byte one Latin-1 character. These read and
// write the widget's document directly, so NUL and every other byte value survive.

std::string DocumentBytes(const QsciScintilla& editor);
void SetDocumentBytes(QsciScintilla& editor, std::string_view bytes);

// One line with its line break; valid until the document changes.
std::string_view LineBytes(const QsciScintilla& editor, int line);

}  // namespace korvane::workbench
