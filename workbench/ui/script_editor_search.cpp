// Find, replace and replace all of the script editor, over the document's bytes.
#include "workbench/ui/script_editor.h"

#include "workbench/ui/user_dialogs.h"

namespace korvane::workbench {

namespace {

int SearchFlags(bool matchCase) { return matchCase ? QsciScintilla::SCFIND_MATCHCASE : 0; }

}  // namespace

bool TScriptEditor::SelectionMatches(const std::string& text, bool matchCase) {
    const long from = SendScintilla(SCI_GETSELECTIONSTART);
    const long to = SendScintilla(SCI_GETSELECTIONEND);
    if (to - from != static_cast<long>(text.size()) || text.empty()) return false;
    SendScintilla(SCI_SETSEARCHFLAGS, SearchFlags(matchCase));
    SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(from), to);
    return SendScintilla(SCI_SEARCHINTARGET, static_cast<uintptr_t>(text.size()), text.c_str()) ==
           from;
}

bool TScriptEditor::Find(const QString& text, bool forward, bool matchCase) {
    const std::string bytes = ToLatin1(text);
    if (bytes.empty()) return false;
    const long length = SendScintilla(SCI_GETLENGTH);
    const long from = SendScintilla(forward ? SCI_GETSELECTIONEND : SCI_GETSELECTIONSTART);
    SendScintilla(SCI_SETSEARCHFLAGS, SearchFlags(matchCase));
    // A target whose start lies after its end is searched backwards.
    const std::pair<long, long> passes[] = {forward ? std::pair{from, length} : std::pair{from, 0L},
                                            forward ? std::pair{0L, from} : std::pair{length, from}};
    for (const auto& [start, end] : passes) {
        SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(start), end);
        const long found =
            SendScintilla(SCI_SEARCHINTARGET, static_cast<uintptr_t>(bytes.size()), bytes.c_str());
        if (found < 0) continue;
        const long foundEnd = SendScintilla(SCI_GETTARGETEND);
        SendScintilla(SCI_SETSEL, static_cast<unsigned long>(found), foundEnd);
        ScrollIntoSight(static_cast<int>(SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(found))));
        return true;
    }
    return false;
}

bool TScriptEditor::ReplaceNext(const QString& text, const QString& replacement, bool matchCase) {
    if (isReadOnly()) return false;
    const std::string bytes = ToLatin1(text);
    if (SelectionMatches(bytes, matchCase)) {
        const std::string with = ToLatin1(replacement);
        SendScintilla(SCI_TARGETFROMSELECTION);
        SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(with.size()), with.c_str());
        const long end = SendScintilla(SCI_GETTARGETEND);
        SendScintilla(SCI_SETSEL, static_cast<unsigned long>(end), end);
    }
    return Find(text, true, matchCase);
}

int TScriptEditor::ReplaceAll(const QString& text, const QString& replacement, bool matchCase) {
    const std::string bytes = ToLatin1(text);
    if (isReadOnly() || bytes.empty()) return 0;
    const std::string with = ToLatin1(replacement);
    int count = 0;
    long from = 0;
    SendScintilla(SCI_SETSEARCHFLAGS, SearchFlags(matchCase));
    SendScintilla(SCI_BEGINUNDOACTION);
    for (;;) {
        SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(from),
                      SendScintilla(SCI_GETLENGTH));
        if (SendScintilla(SCI_SEARCHINTARGET, static_cast<uintptr_t>(bytes.size()), bytes.c_str()) < 0) {
            break;
        }
        SendScintilla(SCI_REPLACETARGET, static_cast<uintptr_t>(with.size()), with.c_str());
        from = SendScintilla(SCI_GETTARGETEND);
        ++count;
    }
    SendScintilla(SCI_ENDUNDOACTION);
    return count;
}

}  // namespace korvane::workbench
