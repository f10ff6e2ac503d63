#pragma once

#include <QTimer>
#include <functional>

#include "racks/ui/control_widget.h"

namespace korvane::racks {

// TVrScope: a trace on a graticule. Written samples wait until the scope's next tick (every
// Interval milliseconds while samples wait), which appends them and redraws.
class TScopeWidget : public TControlWidget {
 public:
    TScopeWidget(TRackControl& control, QWidget* parent);
    // Whether a run is in progress when a tick comes: only then do samples keep their value.
    void SetRunActive(std::function<bool()> runActive) { m_runActive = std::move(runActive); }
    // Samples are waiting: the next tick is due one interval from now.
    void Arm();

 protected:
    void paintEvent(QPaintEvent* event) override;

 private:
    void Tick();

    QTimer m_timer;
    std::function<bool()> m_runActive;
};

}  // namespace korvane::racks
