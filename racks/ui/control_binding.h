#pragma once

#include <string>
#include <string_view>

#include "engine/engine_host.h"
#include "racks/ui/rack_model.h"
#include "racks/ui/rack_view.h"

namespace korvane::racks {

// Scripts read and write rack controls by name as if they were variables: each bound class
// has one property, a conversion and a pair of error texts. A failed write leaves the control
// as it was; nothing here writes to the log. The variables the system sets are never shadowed:
// a control with such a name is reached through the rack commands only.
class TRackBinding : public engine::TControlBinding {
 public:
    TRackBinding(TRackModel& model, TRackView& view) : m_model(model), m_view(view) {}

    bool HasControls() const override { return !m_model.Empty(); }
    bool WindowVisible() const override { return m_view.RackVisible(); }
    bool Write(engine::TExecute& run, std::string_view name, std::string_view expression) override;
    bool Read(engine::TExecute& run, std::string_view name, std::string& value) override;

 private:
    // False when the value does not convert for the control's class.
    bool Apply(engine::TExecute& run, size_t index, const std::string& value);

    TRackModel& m_model;
    TRackView& m_view;
};

}  // namespace korvane::racks
