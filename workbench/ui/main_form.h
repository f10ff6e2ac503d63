#pragma once

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include <QMainWindow>

#include "engine/run_control.h"
#include "workbench/ui/action_states.h"
#include "workbench/ui/toolbar_layout.h"
#include "workbench/ui/workbench_host.h"

class QAction;
class QDockWidget;
class QMenu;
class QMenuBar;
class QSplitter;
class QTimer;
class QToolBar;

namespace korvane::workbench {

class TFailureMarks;
class TFindDialog;
class TFrmAbout;
class TFrmHelp;
class TFrmWatch;
class TLogPane;
class TScriptEditor;
class TStatusLine;
struct TWorkbenchContext;

// The workbench window: the dock with the menu bar, the button bar and the recent-files bar,
// the script editor above the log pane, and the file, run and help actions. The run itself
// is the engine's run control, driven from the Run handler with the event loop pumped
// between statements.
class TMainForm : public QMainWindow {
    Q_OBJECT

public:
    TMainForm(TWorkbenchContext& context, TFrmWatch& watch, TFrmAbout& about);
    ~TMainForm() override;

    // Run / Stop / Pause (buttons and menu items alike). Run returns when a run it started ends.
    void RunScript();
    void StopScript();
    void PauseScript();
    bool Running() const { return m_runControl.Active(); }

    // File actions. Open, New, a recent entry, closing and LoadAndRun ask to save edits
    // first and do nothing while a script runs; LoadFile asks nothing.
    void OpenFile(const std::string& path);
    bool LoadFile(const std::string& path);
    void NewScript();
    // True once the text is in the file.
    bool SaveScript();
    bool SaveScriptAs();
    void OpenRecent(const std::string& path);
    // Start-up with a script named on the command line: it becomes the current file, as if
    // opened, and runs at once.
    void LoadAndRun(const std::string& path);
    // Whether the editor's text differs from what was last loaded or saved.
    bool Modified() const;
    // Asks "Save changes to NAME?" when there are edits to lose; false when the user
    // cancels or the save did not happen.
    bool MayDiscardEdits();
    // Standalone start-up: the packaged script goes into the editor and runs with this
    // window hidden; returns how the run went.
    engine::TRunOutcome RunStandalone(std::string_view scriptText);
    // Why the last run ended with a fatal error (or the block check's report); empty after a
    // good run.
    const std::string& LastRunFailure() const { return m_host.LastFailure(); }
    // Script > Build: packages the editor's script and its racks into a copy of this program
    // and offers to save it.
    void BuildExecutable();

    // Help opens the help page in the program's own help window.
    void ShowHelp();
    TFrmHelp* HelpWindow() const { return m_help; }
    void ShowAbout();
    // The About window whether or not a script runs.
    void ShowAboutNow();
    // The hide button and Escape while a rack is open in a run: hide this window when the rack
    // is shown, else show the rack again.
    void ToggleMainForRack();
    // SIGTERM, SIGINT or SIGHUP: keeps unsaved text in the recovery file and closes without
    // a question (settings are written as at any close).
    void CloseForSignal();
    // At a normal start: offers text kept by CloseForSignal, once.
    void OfferRecovery();
    // True once the window has been closed; a run still on the stack then ends the program.
    bool Closed() const { return m_closing; }
    // Moves the caret to the line a log line names (writelog's "from line N", the block
    // check's line, or the line of the last fatal error).
    void GoToLogLine(const QString& line);
    void GoToLine();
    TFindDialog& FindDialog() { return *m_find; }
    TStatusLine& Status() { return *m_status; }
    TFailureMarks& FailureMarks() { return *m_failureMarks; }
    // Where the file dialogs start.
    std::filesystem::path DialogFolder() const;

    // The settings of this window and its bars as they are now, over the remembered ones.
    TSettings CollectSettings() const;

    const std::string& CurrentFile() const { return m_currentFile; }
    const std::vector<std::string>& RecentFiles() const;
    TScriptEditor& Editor() { return *m_editor; }
    TLogPane& Log() { return *m_log; }
    const TLogPane& Log() const { return *m_log; }
    TFrmWatch& Watch() { return m_watch; }
    QToolBar* Bar(TBarId bar) const { return m_bars[static_cast<std::size_t>(bar)]; }

    // Debugging in the editor: F9 toggles a breakpoint on the caret's line, F10 runs one
    // statement (starting a run that stops at its first), Ctrl+F10 runs to the caret's line.
    void ToggleBreakpoint();
    void StepStatement();
    void RunToCursor();
    // A breakpoint or a one-time stop was reached: the run pauses there with Watch filled.
    void PauseAtStatement();
    QDockWidget& WatchDock() { return *m_watchDock; }
    // Colours the window, the editor and the log for the theme the settings name.
    void ApplyTheme();
    // Shows the Watch window docked (or floating where it was left), or hides it.
    void ShowWatch(bool visible);

    // Used by the run control through the host.
    void SetRunPhase(TRunPhase phase);
    TRunPhase RunPhase() const { return m_phase; }
    void ShowAfterRun();
    // The editor line (from 0) of the statement being run; -1 without a run.
    int RunningLine();
    // The run's last line, noted as its interpreter goes.
    void NoteLastRunLine(int line) { m_lastRunLine = line; }
    // The status bar's run line, and the step line's mark in the editor.
    void ShowRunLine();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void ChooseAndOpen();
    void BuildDebugger();
    void BuildViewMenu();
    void RestoreBreakpoints();
    void StoreBreakpoints();
    void NoteFolder(const std::string& chosen);
    engine::TRunOutcome StartRun();
    void MarkRunFailure(engine::TRunOutcome outcome);
    void BuildEditMenu();
    void AddShortcuts();
    void ShowShortcutTip(QWidget* button);
    void SetCurrentFile(const std::string& path, std::string_view savedBytes);
    void RefreshCaption();
    std::string CaptionWithoutMarker() const;
    void SaveLog();
    void OpenUrl(const QString& url);
    bool RackToggleAllowed() const;
    void BuildMenuItems();
    void BuildButtons();
    void BuildMenuBar();
    void BuildButtonBar();
    void BuildRecentBar();
    void BuildCentre();
    void ApplySettings(const TSettings& settings);
    void PlaceBars(const TBarPlacements& placements);
    void RefreshRecentBar();
    void RememberFile(const std::string& path);
    bool WriteScript(const std::string& path, std::string_view bytes);
    QAction* MakeAction(const char* name, const QString& text);

    TWorkbenchContext& m_context;
    TFrmWatch& m_watch;
    TFrmAbout& m_about;
    TWorkbenchHost m_host;
    engine::TRunControl m_runControl;

    TScriptEditor* m_editor = nullptr;
    TLogPane* m_log = nullptr;
    TStatusLine* m_status = nullptr;
    TFindDialog* m_find = nullptr;
    TFailureMarks* m_failureMarks = nullptr;
    QTimer* m_runLineTimer = nullptr;
    QSplitter* m_splitter = nullptr;
    QDockWidget* m_watchDock = nullptr;
    TFrmHelp* m_help = nullptr;
    std::array<QToolBar*, kBarCount> m_bars{};
    QMenuBar* m_menus = nullptr;
    QMenu* m_fileMenu = nullptr;
    QMenu* m_editMenu = nullptr;
    QMenu* m_viewMenu = nullptr;
    QMenu* m_scriptMenu = nullptr;
    QMenu* m_helpMenu = nullptr;

    // Menu items.
    QAction* m_open1 = nullptr;
    QAction* m_new1 = nullptr;
    QAction* m_save1 = nullptr;
    QAction* m_saveAs1 = nullptr;
    QAction* m_run1 = nullptr;
    QAction* m_stop1 = nullptr;
    QAction* m_pause1 = nullptr;
    QAction* m_build1 = nullptr;
    QAction* m_help1 = nullptr;
    QAction* m_about1 = nullptr;
    QAction* m_quit1 = nullptr;
    QAction* m_step1 = nullptr;
    QAction* m_breakpoint1 = nullptr;
    QAction* m_runToCursor1 = nullptr;
    QAction* m_comment1 = nullptr;
    // Edit menu items that change the text; they wait while a script runs.
    std::vector<QAction*> m_editingItems;
    // Buttons.
    QAction* m_sbOpen = nullptr;
    QAction* m_sbNew = nullptr;
    QAction* m_sbSave = nullptr;
    QAction* m_sbSaveAs = nullptr;
    QAction* m_sbRun = nullptr;
    QAction* m_sbStop = nullptr;
    QAction* m_sbPause = nullptr;
    QAction* m_sbHide = nullptr;

    std::string m_currentFile;
    // The folder of the last file chosen in a dialog.
    std::filesystem::path m_lastFolder;
    // What the editor held when it was last loaded or saved.
    std::string m_savedBytes;
    int m_lastRunLine = -1;
    int m_fatalLine = -1;
    bool m_stopPressed = false;
    TRunPhase m_phase = TRunPhase::Idle;
    bool m_closing = false;
    bool m_closingBySignal = false;
    bool m_shownOnce = false;
    std::vector<TBarId> m_floatingBars;
};

}  // namespace korvane::workbench
