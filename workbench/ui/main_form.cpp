#include "workbench/ui/main_form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QLayout>
#include <QMenuBar>
#include <QKeyEvent>
#include <QResizeEvent>
#include <QSplitter>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "workbench/ui/about_window.h"
#include "workbench/ui/bar_icons.h"
#include "workbench/ui/failure_marks.h"
#include "workbench/ui/file_rules.h"
#include "workbench/ui/find_dialog.h"
#include "workbench/ui/log_pane.h"
#include "workbench/ui/script_editor.h"
#include "workbench/ui/status_line.h"
#include "workbench/ui/user_dialogs.h"
#include "workbench/ui/watch_window.h"
#include "workbench/ui/window_placement.h"
#include "workbench/ui/workbench_context.h"

namespace korvane::workbench {

namespace {

constexpr int kSplitterWidth = 2;
constexpr int kRunLineRefreshMs = 100;
constexpr QSize kBarIconSize(16, 16);
// Where a bar that starts floating appears, from the window's top-left corner.
constexpr QPoint kFloatingOffset(40, 40);

QToolBar* MakeBar(QWidget* parent, const char* name, const QString& caption) {
    auto* bar = new QToolBar(caption, parent);
    bar->setObjectName(QString::fromLatin1(name));
    bar->setAllowedAreas(Qt::TopToolBarArea);
    bar->setFloatable(true);
    bar->setMovable(true);
    bar->setIconSize(kBarIconSize);
    return bar;
}

}  // namespace

TMainForm::TMainForm(TWorkbenchContext& context, TFrmWatch& watch, TFrmAbout& about)
    : m_context(context),
      m_watch(watch),
      m_about(about),
      m_host(*this, context),
      m_runControl(m_host, m_host, context.programState, context.dispatch) {
    setObjectName(QStringLiteral("MainForm"));
    setContextMenuPolicy(Qt::PreventContextMenu);
    BuildCentre();
    BuildMenuItems();
    BuildEditMenu();
    BuildDebugger();
    BuildViewMenu();
    BuildButtons();
    AddShortcuts();
    BuildMenuBar();
    BuildButtonBar();
    BuildRecentBar();
    ApplySettings(m_context.settings);
    ApplyTheme();
    SetRunPhase(TRunPhase::Idle);
    SetCurrentFile({}, {});
    // Escape reaches the window before the focused control, the way a key preview does.
    qApp->installEventFilter(this);
    connect(m_editor, &TScriptEditor::UrlClicked, this, &TMainForm::OpenUrl);
    connect(m_editor, &QsciScintilla::textChanged, this, &TMainForm::RefreshCaption);
    connect(m_editor, &QsciScintilla::cursorPositionChanged, this,
            [this](int line, int index) { m_status->SetCaret(line, index); });
    connect(m_log, &TLogPane::LineActivated, this, &TMainForm::GoToLogLine);
    connect(m_log, &TLogPane::SaveRequested, this, &TMainForm::SaveLog);
    // The line being run shows in the status bar while the run pumps events.
    m_runLineTimer = new QTimer(this);
    m_runLineTimer->setInterval(kRunLineRefreshMs);
    connect(m_runLineTimer, &QTimer::timeout, this, &TMainForm::ShowRunLine);
}

// The Watch window belongs to the application, not to the dock that shows it.
TMainForm::~TMainForm() {
    // The dock reports hiding while QWidget tears the window down, when this is no longer a
    // TMainForm: nothing of it may answer then.
    if (m_watchDock) m_watchDock->disconnect(this);
    m_watch.setParent(nullptr);
}

QAction* TMainForm::MakeAction(const char* name, const QString& text) {
    auto* action = new QAction(text, this);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void TMainForm::BuildMenuItems() {
    m_open1 = MakeAction("Open1", QStringLiteral("Open"));
    m_new1 = MakeAction("New1", QStringLiteral("New"));
    m_save1 = MakeAction("Save1", QStringLiteral("Save"));
    m_saveAs1 = MakeAction("Saveas1", QStringLiteral("Save as"));
    m_run1 = MakeAction("Run1", QStringLiteral("Run"));
    m_stop1 = MakeAction("Stop1", QStringLiteral("Stop"));
    m_pause1 = MakeAction("Pause1", QStringLiteral("Pause"));
    m_build1 = MakeAction("Build1", QStringLiteral("Build"));
    m_help1 = MakeAction("Help1", QStringLiteral("Help"));
    m_about1 = MakeAction("About1", QStringLiteral("About"));
    m_quit1 = MakeAction("Quit1", QStringLiteral("Quit"));
    m_step1 = MakeAction("Step1", QStringLiteral("Step"));
    connect(m_quit1, &QAction::triggered, this, &QWidget::close);
    // In step mode Run executes one statement; Step does the same from a breakpoint.
    connect(m_step1, &QAction::triggered, this, &TMainForm::StepStatement);

    // The menu items Open, New, Save as, Help and About refuse while a script runs; Save and
    // the buttons act whenever they are enabled.
    connect(m_open1, &QAction::triggered, this, [this] {
        if (!Running()) ChooseAndOpen();
    });
    connect(m_new1, &QAction::triggered, this, [this] {
        if (!Running()) NewScript();
    });
    connect(m_saveAs1, &QAction::triggered, this, [this] {
        if (!Running()) SaveScriptAs();
    });
    connect(m_save1, &QAction::triggered, this, &TMainForm::SaveScript);
    connect(m_run1, &QAction::triggered, this, &TMainForm::RunScript);
    connect(m_stop1, &QAction::triggered, this, &TMainForm::StopScript);
    connect(m_pause1, &QAction::triggered, this, &TMainForm::PauseScript);
    connect(m_build1, &QAction::triggered, this, [this] {
        if (!Running()) BuildExecutable();
    });
    connect(m_help1, &QAction::triggered, this, &TMainForm::ShowHelp);
    connect(m_about1, &QAction::triggered, this, &TMainForm::ShowAbout);
}

void TMainForm::BuildButtons() {
    m_sbOpen = MakeAction("SBOpen1", QStringLiteral("Open"));
    m_sbNew = MakeAction("SBNew1", QStringLiteral("New"));
    m_sbSave = MakeAction("SBSave1", QStringLiteral("Save"));
    m_sbSaveAs = MakeAction("SBSaveas1", QStringLiteral("Save as"));
    m_sbRun = MakeAction("SBRun1", QStringLiteral("Run"));
    m_sbStop = MakeAction("SBStop1", QStringLiteral("Stop"));
    m_sbPause = MakeAction("SBPause1", QStringLiteral("Pause"));
    m_sbHide = MakeAction("SBHide1", QStringLiteral("H"));
    const std::pair<QAction*, TBarIcon> icons[] = {
        {m_sbOpen, TBarIcon::Open}, {m_sbNew, TBarIcon::New},   {m_sbSave, TBarIcon::Save},
        {m_sbSaveAs, TBarIcon::SaveAs}, {m_sbRun, TBarIcon::Run}, {m_sbStop, TBarIcon::Stop},
        {m_sbPause, TBarIcon::Pause}};
    for (const auto& [action, icon] : icons) action->setIcon(BarIcon(icon));
    m_sbOpen->setToolTip(QStringLiteral("Open script"));
    m_sbNew->setToolTip(QStringLiteral("New script"));
    m_sbSave->setToolTip(QStringLiteral("Save script"));
    m_sbSaveAs->setToolTip(QStringLiteral("Save script as"));
    m_sbRun->setToolTip(QStringLiteral("Run script"));
    m_sbStop->setToolTip(QStringLiteral("Stop script"));
    m_sbPause->setToolTip(QStringLiteral("Pause script"));
    connect(m_sbOpen, &QAction::triggered, this, &TMainForm::ChooseAndOpen);
    connect(m_sbNew, &QAction::triggered, this, &TMainForm::NewScript);
    connect(m_sbSave, &QAction::triggered, this, &TMainForm::SaveScript);
    connect(m_sbSaveAs, &QAction::triggered, this, &TMainForm::SaveScriptAs);
    connect(m_sbRun, &QAction::triggered, this, &TMainForm::RunScript);
    connect(m_sbStop, &QAction::triggered, this, &TMainForm::StopScript);
    connect(m_sbPause, &QAction::triggered, this, &TMainForm::PauseScript);
    connect(m_sbHide, &QAction::triggered, this, &TMainForm::ToggleMainForRack);
}

void TMainForm::BuildMenuBar() {
    m_menus = new QMenuBar(this);
    m_menus->setObjectName(QStringLiteral("Menus"));
    m_menus->setNativeMenuBar(false);
    m_fileMenu = m_menus->addMenu(QStringLiteral("File"));
    m_fileMenu->setObjectName(QStringLiteral("File1"));
    m_fileMenu->addActions({m_open1, m_new1, m_save1, m_saveAs1});
    m_fileMenu->addSeparator();
    m_fileMenu->addAction(m_quit1);
    m_editMenu->addAction(m_comment1);
    m_menus->addMenu(m_editMenu);
    m_menus->addMenu(m_viewMenu);
    m_scriptMenu = m_menus->addMenu(QStringLiteral("Script"));
    m_scriptMenu->setObjectName(QStringLiteral("Script1"));
    m_scriptMenu->addActions({m_run1, m_stop1, m_pause1, m_step1, m_runToCursor1, m_breakpoint1});
    m_scriptMenu->addSeparator();
    m_scriptMenu->addAction(m_build1);
    m_helpMenu = m_menus->addMenu(QStringLiteral("Help"));
    m_helpMenu->setObjectName(QStringLiteral("Help2"));
    m_helpMenu->addActions({m_help1, m_about1});
    QToolBar* bar = MakeBar(this, "MenuBar1", QStringLiteral("Korvane"));
    bar->addWidget(m_menus);
    m_bars[static_cast<std::size_t>(TBarId::MenuBar)] = bar;
}

void TMainForm::BuildButtonBar() {
    QToolBar* bar = MakeBar(this, "ToolBar1", QStringLiteral("Korvane"));
    bar->addActions({m_sbOpen, m_sbNew, m_sbSave, m_sbSaveAs});
    bar->addSeparator();
    bar->addActions({m_sbRun, m_sbStop, m_sbPause, m_sbHide});
    m_sbHide->setVisible(false);
    m_bars[static_cast<std::size_t>(TBarId::ButtonBar)] = bar;
}

void TMainForm::BuildRecentBar() {
    QToolBar* bar = MakeBar(this, "RecentBar1", QStringLiteral("Recent files"));
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_bars[static_cast<std::size_t>(TBarId::RecentBar)] = bar;
}

void TMainForm::BuildCentre() {
    m_editor = new TScriptEditor(this);
    m_editor->setObjectName(QStringLiteral("Editor"));
    m_log = new TLogPane(this);
    m_splitter = new QSplitter(Qt::Vertical, this);
    m_splitter->setObjectName(QStringLiteral("Splitter1"));
    m_splitter->setHandleWidth(kSplitterWidth);
    m_splitter->setChildrenCollapsible(false);
    m_splitter->addWidget(m_editor);
    m_splitter->addWidget(m_log);
    m_splitter->setStretchFactor(0, 1);
    m_splitter->setStretchFactor(1, 0);
    setCentralWidget(m_splitter);
    m_status = new TStatusLine(this);
    setStatusBar(m_status);
    m_find = new TFindDialog(*m_editor, this);
    m_failureMarks = new TFailureMarks(*m_editor);
}

void TMainForm::ApplySettings(const TSettings& settings) {
    // A window remembered on a larger screen (or at a larger scale) comes back inside this one.
    const QRect placed = FitOnScreen(QRect(settings.mainPosition.x, settings.mainPosition.y,
                                           settings.mainWidth, settings.mainHeight),
                                     AvailableScreens());
    resize(placed.size());
    move(placed.topLeft());
    m_log->SetPreferredHeight(settings.logHeight);
    PlaceBars({settings.menuBar, settings.toolbar, settings.recentBar});
    RefreshRecentBar();
}

void TMainForm::PlaceBars(const TBarPlacements& placements) {
    const TBarArrangement arrangement = ArrangeBars(placements);
    for (std::size_t row = 0; row < arrangement.rows.size(); ++row) {
        if (row > 0) addToolBarBreak(Qt::TopToolBarArea);
        for (TBarId id : arrangement.rows[row]) addToolBar(Qt::TopToolBarArea, Bar(id));
    }
    for (TBarId id : arrangement.floating) {
        QToolBar* bar = Bar(id);
        addToolBar(Qt::TopToolBarArea, bar);
        // What the bar's own drag does when it is let go outside the dock: it becomes a tool
        // window, and the window's layout passes over it until it is docked again.
        bar->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        m_floatingBars.push_back(id);
    }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip && watched->parent() != nullptr &&
        qobject_cast<QToolBar*>(watched->parent()) != nullptr) {
        ShowShortcutTip(static_cast<QWidget*>(watched));
        return true;
    }
    if (watched == m_splitter && event->type() == QEvent::Resize &&
        static_cast<QResizeEvent*>(event)->oldSize().height() >
            static_cast<QResizeEvent*>(event)->size().height()) {
        const QList<int> sizes = m_splitter->sizes();
        const auto [editor, log] = EditorFirstSplit(sizes.value(0), sizes.value(1));
        if (editor != sizes.value(0)) m_splitter->setSizes({editor, log});
    }
    if (event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->window() == this && RackToggleAllowed()) {
        ToggleMainForRack();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_shownOnce) return;
    m_shownOnce = true;
    layout()->activate();
    const int logHeight = m_log->sizeHint().height();
    m_splitter->setSizes({std::max(0, m_splitter->height() - logHeight - kSplitterWidth), logHeight});
    for (TBarId id : m_floatingBars) {
        QToolBar* bar = Bar(id);
        bar->adjustSize();
        bar->move(pos() + kFloatingOffset);
        bar->show();
    }
}

void TMainForm::SetRunPhase(TRunPhase phase) {
    m_phase = phase;
    const TActionStates states = ActionStatesFor(phase);
    m_sbRun->setEnabled(states.runButton);
    m_sbStop->setEnabled(states.stopButton);
    m_sbPause->setEnabled(states.pauseButton);
    m_run1->setEnabled(states.runItem);
    m_stop1->setEnabled(states.stopItem);
    m_pause1->setEnabled(states.pauseItem);
    m_build1->setEnabled(states.buildItem);
    for (QAction* action : {m_sbOpen, m_sbNew, m_sbSave, m_sbSaveAs}) {
        action->setEnabled(states.fileActions);
    }
    m_fileMenu->setEnabled(states.fileActions);
    // Nothing may replace the editor's text while the script it holds runs.
    Bar(TBarId::RecentBar)->setEnabled(states.fileActions);
    m_step1->setEnabled(phase != TRunPhase::Running);
    m_runToCursor1->setEnabled(phase != TRunPhase::Running);
    for (QAction* action : m_editingItems) action->setEnabled(phase == TRunPhase::Idle);
    switch (phase) {
        case TRunPhase::Running:
            m_status->SetState(TRunState::Running);
            m_editor->MarkStepLine(-1);
            break;
        case TRunPhase::Paused:
            // The line about to run is marked as when stepping.
            m_status->SetState(TRunState::Paused);
            ShowRunLine();
            break;
        case TRunPhase::Stepping:
            m_status->SetState(TRunState::Stepping);
            ShowRunLine();
            break;
        case TRunPhase::Idle:
            // Finished or Stopped is written when the run has ended.
            break;
    }
}

void TMainForm::ShowAfterRun() {
    if (!m_closing) show();
}

TSettings TMainForm::CollectSettings() const {
    TSettings settings = m_context.settings;
    settings.mainPosition = {pos().x(), pos().y()};
    settings.mainWidth = width();
    settings.mainHeight = height();
    if (m_watchDock->isFloating()) settings.debugPosition = {m_watchDock->x(), m_watchDock->y()};
    if (m_context.modules.storeSettings) m_context.modules.storeSettings(settings);
    // A window that was never shown has no layout to read: its settings stay as they came.
    if (!m_shownOnce) return settings;
    settings.logHeight = m_log->height();
    std::array<TBarGeometry, kBarCount> geometry;
    for (std::size_t i = 0; i < kBarCount; ++i) {
        const QToolBar* bar = m_bars[i];
        const QPoint at = bar->pos();
        geometry[i] = {bar->isFloating(), at.x(), at.y()};
    }
    const TBarPlacements placements = PlacementsFromGeometry(geometry);
    settings.menuBar = placements[0];
    settings.toolbar = placements[1];
    settings.recentBar = placements[2];
    return settings;
}

void TMainForm::closeEvent(QCloseEvent* event) {
    if (!m_closing && !m_closingBySignal && !MayDiscardEdits()) {
        event->ignore();
        return;
    }
    if (Running()) StopScript();
    if (!m_context.standalone) SaveSettings(m_context.settingsPath, CollectSettings());
    m_closing = true;
    m_watchDock->hide();
    for (QToolBar* bar : m_bars) {
        if (bar->isFloating()) bar->hide();
    }
    event->accept();
    // The rack and terminal windows do not keep the program alive once the workbench closes.
    QCoreApplication::quit();
}

}  // namespace korvane::workbench
