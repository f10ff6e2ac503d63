#pragma once

#include <memory>

#include "racks/ui/rack_window_owner.h"

namespace korvane::racks {
class TFrmRack;
}

namespace korvane::workbench {

class TMainForm;
struct TWorkbenchContext;

// The rack window as the workbench holds it: one window for the whole program, hidden until
// a script opens a rack. Its remembered position, the rack-open flag and the stop request
// live with the main window.
class TWorkbenchRack : public racks::TRackWindowOwner {
public:
    TWorkbenchRack(TMainForm& form, TWorkbenchContext& context);
    ~TWorkbenchRack() override;

    racks::TFrmRack& Window() { return *m_window; }
    // Wires the rack rows and hands the binding and visibility to the run.
    void Bind();

    // racks::TRackWindowOwner
    bool Standalone() const override;
    bool RunActive() const override;
    void SetRackOpen() override;
    void ShowMainWindow() override;
    void StopRun() override;
    racks::TRackPosition RackPosition(QSize frame) const override;
    void SetRackPosition(racks::TRackPosition position) override;
    void ShowAbout() override;
    std::filesystem::path ExecutableFolder() const override;
    std::filesystem::path PackagedRackFolder() const override;

private:
    TMainForm& m_form;
    TWorkbenchContext& m_context;
    std::unique_ptr<racks::TFrmRack> m_window;
};

}  // namespace korvane::workbench
