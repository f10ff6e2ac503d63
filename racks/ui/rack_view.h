#pragma once

#include <cstddef>

namespace korvane::racks {

// What the control binding and the rack commands need from whatever shows the rack: whether
// it is on screen, and word that a control changed so that it is shown anew.
class TRackView {
 public:
    virtual ~TRackView() = default;
    virtual bool RackVisible() const = 0;
    virtual void ControlChanged(size_t index) = 0;
    // A scope has samples waiting for its next tick.
    virtual void ScopeArmed(size_t index) = 0;
};

}  // namespace korvane::racks
