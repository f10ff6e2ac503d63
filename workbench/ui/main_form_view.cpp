// The main window's View menu: the light, dark or desktop theme, kept in the settings.
#include <QActionGroup>
#include <QMenu>

#include "workbench/ui/help_window.h"
#include "workbench/ui/log_pane.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/script_editor.h"
#include "workbench/ui/theme.h"
#include "workbench/ui/workbench_context.h"

namespace korvane::workbench {

namespace {

const QColor kLightLogPaper(248, 249, 251);
const QColor kDarkLogPaper(24, 25, 28);

}  // namespace

void TMainForm::BuildViewMenu() {
    m_viewMenu = new QMenu(QStringLiteral("View"), this);
    m_viewMenu->setObjectName(QStringLiteral("View1"));
    QMenu* themes = m_viewMenu->addMenu(QStringLiteral("Theme"));
    themes->setObjectName(QStringLiteral("Theme1"));
    auto* group = new QActionGroup(this);
    const std::pair<const char*, TTheme> entries[] = {
        {"ThemeSystem1", TTheme::System}, {"ThemeLight1", TTheme::Light}, {"ThemeDark1", TTheme::Dark}};
    for (const auto& [name, theme] : entries) {
        const std::string_view themeName = ThemeName(theme);
        QString text = QString::fromLatin1(themeName.data(), static_cast<qsizetype>(themeName.size()));
        text[0] = text[0].toUpper();
        QAction* action = MakeAction(name, text);
        action->setCheckable(true);
        action->setChecked(ThemeFromName(m_context.settings.theme) == theme);
        group->addAction(action);
        themes->addAction(action);
        connect(action, &QAction::triggered, this, [this, theme] {
            m_context.settings.theme = std::string(ThemeName(theme));
            ApplyTheme();
        });
    }
}

void TMainForm::ApplyTheme() {
    const QPalette chosen = ApplyApplicationTheme(ThemeFromName(m_context.settings.theme));
    const bool dark = PaletteIsDark(chosen);
    setPalette(chosen);
    if (m_help != nullptr) {
        m_help->setPalette(chosen);
        m_help->SetDark(dark);
    }
    m_editor->ApplyTheme(dark);
    QPalette logPalette = chosen;
    logPalette.setColor(QPalette::Base, dark ? kDarkLogPaper : kLightLogPaper);
    m_log->setPalette(logPalette);
}

}  // namespace korvane::workbench
