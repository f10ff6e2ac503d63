#include "workbench/ui/rack_owner.h"

#include "racks/ui/frm_rack.h"
#include "racks/ui/rack_commands.h"
#include "workbench/ui/main_form.h"
#include "workbench/ui/window_placement.h"
#include "workbench/ui/workbench_context.h"

namespace korvane::workbench {

TWorkbenchRack::TWorkbenchRack(TMainForm& form, TWorkbenchContext& context)
    : m_form(form), m_context(context), m_window(std::make_unique<racks::TFrmRack>(*this)) {}

TWorkbenchRack::~TWorkbenchRack() = default;

void TWorkbenchRack::Bind() {
    racks::BindRackCommands(m_context.dispatch, *m_window);
    TModuleHooks& modules = m_context.modules;
    modules.binding = &m_window->Binding();
    modules.rackVisible = [this] { return m_window->isVisible(); };
    modules.showRack = [this] {
        m_window->show();
        m_window->raise();
        m_window->activateWindow();
    };
    modules.validateRack = [this](const std::string& path) {
        const bool loaded = m_window->LoadRack(path).Ok();
        m_window->hide();
        return loaded;
    };
}

bool TWorkbenchRack::Standalone() const { return m_context.standalone; }

bool TWorkbenchRack::RunActive() const { return m_form.Running(); }

void TWorkbenchRack::SetRackOpen() { m_context.rackOpen = true; }

void TWorkbenchRack::ShowMainWindow() {
    m_form.show();
    m_form.raise();
}

void TWorkbenchRack::StopRun() { m_form.StopScript(); }

racks::TRackPosition TWorkbenchRack::RackPosition(QSize frame) const {
    const std::optional<TPosition>& at = m_context.settings.rackPosition;
    const QPoint place =
        PlaceHelperWindow(at ? std::optional(QPoint(at->x, at->y)) : std::nullopt,
                          m_form.frameGeometry(), frame, AvailableScreens());
    return {place.x(), place.y()};
}

void TWorkbenchRack::SetRackPosition(racks::TRackPosition position) {
    m_context.settings.rackPosition = TPosition{position.left, position.top};
}

// Shown from the rack's key in a standalone program, so also while its script runs.
void TWorkbenchRack::ShowAbout() { m_form.ShowAboutNow(); }

std::filesystem::path TWorkbenchRack::ExecutableFolder() const {
    return m_context.executableFolder;
}

std::filesystem::path TWorkbenchRack::PackagedRackFolder() const {
    return m_context.packagedRackFolder;
}

}  // namespace korvane::workbench
