#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "racks/form_object.h"
#include "racks/result.h"
#include "racks/ui/rack_control.h"
#include "racks/ui/window_look.h"

namespace korvane::racks {

// The rack window's contents without the window: its properties and its ordered controls,
// the lookups that scripts go through, and the conversion to and from a form record.
class TRackModel {
 public:
    TRackModel();

    const TWindowLook& Window() const { return m_window; }
    size_t Count() const { return m_controls.size(); }
    bool Empty() const { return m_controls.empty(); }
    TRackControl& Control(size_t index) { return *m_controls[index]; }
    const TRackControl& Control(size_t index) const { return *m_controls[index]; }

    // Removes every control, first to last; the window's properties stay as they are.
    void Clear();
    // Applies the root's properties, then makes one control per child in order. On a failure
    // the controls made before it stay; the failing record makes none.
    TStatus Load(const TFormObject& root);
    // Binds each spinner whose hint names a numeric display: the hint becomes the display's
    // index in decimal and the spinner steps that display.
    void BindSpinners();
    // Steps a spinner's companion by delta within its limits; gives the companion's index,
    // or none for a spinner left unbound.
    std::optional<size_t> StepCompanion(size_t spinner, int delta);

    // The rack as a form record: the loaded root (or an empty window's) under objectName,
    // each control's record with its changes written back.
    TFormObject Saved(const std::string& objectName, int left, int top) const;

    // The first control with that name (exact) whose class scripts may write / read.
    std::optional<size_t> FindWritable(std::string_view name) const;
    std::optional<size_t> FindReadable(std::string_view name) const;

 private:
    TWindowLook m_window;
    std::optional<TFormObject> m_root;  // without its children
    std::vector<std::unique_ptr<TRackControl>> m_controls;
};

}  // namespace korvane::racks
