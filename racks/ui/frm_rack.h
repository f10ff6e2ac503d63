#pragma once

#include <QWidget>
#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "racks/result.h"
#include "racks/ui/control_binding.h"
#include "racks/ui/control_widget.h"
#include "racks/ui/rack_model.h"
#include "racks/ui/rack_view.h"
#include "racks/ui/rack_window_owner.h"

namespace korvane::racks {

using TLogLine = std::function<void(std::string_view)>;

// The one rack window of the program: created hidden at start-up, emptied and filled from a
// rack file by every load, written back by a save. Its controls live in the model; the window
// shows them, places itself, and answers close, hide, minimise and key-up as the program's
// mode asks (through its owner).
class TFrmRack : public QWidget, public TRackView {
 public:
    explicit TFrmRack(TRackWindowOwner& owner);
    ~TFrmRack() override;

    TRackModel& Model() { return m_model; }
    TRackBinding& Binding() { return m_binding; }
    // The widget showing the control at `index`.
    TControlWidget* ControlWidget(size_t index) { return m_widgets[index]; }

    // Empties the window, reads the file into it, places it, loads image hints, binds the
    // spinners, shows it, tells the owner and logs "Rack is open". On a failure the controls
    // made before it stay.
    TStatus LoadRack(const std::filesystem::path& file, const TLogLine& log = {});
    // Detaches the close, hide and key-up handling for good, then writes the rack.
    TStatus SaveRack(const std::filesystem::path& file);
    // Shows the window on top of all others, writes its screen pixels as a JPEG of the
    // given quality (1..100) and makes it an ordinary window again; a minimised window is
    // restored first.
    TStatus Capture(const std::filesystem::path& file, int quality);
    // Removes every control, first to last.
    void Empty();
    bool HandlersAttached() const { return m_handlersAttached; }
    // Whether the last load read a whole rack; until then the window holds none worth saving.
    bool RackLoaded() const { return m_rackLoaded; }
    // Where a picture file named by a script or an image hint is looked for: beside the
    // executable (folders dropped) in standalone mode, else the name as it is.
    std::filesystem::path PicturePath(const std::string& fileName) const;
    // Where a rack named by a script is read: in standalone mode the packaged rack of that
    // file name (folders dropped) when there is one, else the name as it is.
    std::filesystem::path RackPath(const std::string& fileName) const;
    bool Standalone() const { return m_owner.Standalone(); }

    // TRackView
    bool RackVisible() const override { return isVisible(); }
    void ControlChanged(size_t index) override;
    void ScopeArmed(size_t index) override;

 protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

 private:
    void ApplyWindowLook();
    void BuildWidgets();
    void WatchKeys(QWidget* widget);
    void LoadImageHints();
    void StorePosition();
    void SetStayOnTop(bool onTop);
    // True when the key-up was one the window acts on.
    bool HandleKeyUp(const QKeyEvent& event);
    QString UniqueWindowName(const QString& wanted) const;

    TRackWindowOwner& m_owner;
    TRackModel m_model;
    TRackBinding m_binding;
    std::vector<TControlWidget*> m_widgets;
    bool m_handlersAttached = true;
    bool m_rackLoaded = false;
    bool m_rebuilding = false;  // hides while the window is rebuilt are not the user's
};

}  // namespace korvane::racks
