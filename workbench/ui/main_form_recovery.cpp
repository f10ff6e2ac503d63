// The main window's answer to a signal, and the unsaved text it kept, offered at the next start.
#include "workbench/file_io.h"
#include "workbench/recovery_file.h"
#include "workbench/ui/file_rules.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/script_editor.h"
#include "workbench/ui/user_dialogs.h"
#include "workbench/ui/workbench_context.h"

namespace korvane::workbench {

void TMainForm::CloseForSignal() {
    if (!m_context.standalone && Modified()) {
        std::string problem;
        WriteRecovery(m_context.settingsPath, {m_editor->Bytes(), m_currentFile}, problem);
    }
    // Nobody is there to answer a question: the text is kept instead.
    m_closingBySignal = true;
    close();
}

void TMainForm::OfferRecovery() {
    const std::optional<TRecovery> kept = ReadRecovery(m_context.settingsPath);
    if (!kept) return;
    const std::string name = RecentLabel(kept->scriptPath.empty() ? kUntitledName : kept->scriptPath);
    const QString question = QStringLiteral("Unsaved changes to ") + FromFileName(name) +
                             QStringLiteral(" were kept when Korvane was ended. Open them?");
    if (m_context.dialogs->AskYesNo(this, question)) {
        const TReadResult saved = kept->scriptPath.empty()
                                      ? TReadResult{}
                                      : ReadFileBounded(kept->scriptPath, kMaxScriptFileSize);
        m_editor->SetBytes(kept->text);
        // Still unsaved: compared with the file as it is on disk, if it is there.
        SetCurrentFile(kept->scriptPath, saved.status == TReadStatus::Ok ? saved.bytes : std::string());
    }
    RemoveRecovery(m_context.settingsPath);
}

}  // namespace korvane::workbench
