#include "racks/ui/rack_model.h"

#include <algorithm>

#include "racks/ui/control_properties.h"
#include "racks/ui/lcd_panel.h"

namespace korvane::racks {

TRackModel::TRackModel() = default;

void TRackModel::Clear() {
    while (!m_controls.empty()) m_controls.erase(m_controls.begin());
}

TStatus TRackModel::Load(const TFormObject& root) {
    m_root.reset();
    TWindowLook window;
    if (TStatus status = ApplyWindowRecord(root.properties, window); !status) {
        return TStatus::Failure("window " + root.objectName + ": " + status.Error());
    }
    m_window = window;
    m_root = TFormObject{root.prefix, root.className, root.objectName, root.properties, {}};
    for (const TFormObject& record : root.children) {
        const std::optional<TControlClass> cls = ControlClassFromName(record.className);
        if (!cls) {
            return TStatus::Failure("unregistered control class " + record.className + " (object " +
                                    record.objectName + ")");
        }
        const bool taken = !record.objectName.empty() &&
                           std::any_of(m_controls.begin(), m_controls.end(), [&](const auto& c) {
                               return c->Name() == record.objectName;
                           });
        if (taken) return TStatus::Failure("two controls are named " + record.objectName);
        auto control = std::make_unique<TRackControl>(*cls, record.objectName, record, window.font);
        if (*cls == TControlClass::Lcd) control->SetPicture(BuiltInLcdPicture());
        if (TStatus status = ApplyControlRecord(*control); !status) return status;
        control->MarkLoaded();
        m_controls.push_back(std::move(control));
    }
    return {};
}

void TRackModel::BindSpinners() {
    for (const std::unique_ptr<TRackControl>& spinner : m_controls) {
        if (spinner->Class() != TControlClass::Spinner) continue;
        for (size_t j = 0; j < m_controls.size(); ++j) {
            const TRackControl& candidate = *m_controls[j];
            if (candidate.Class() == TControlClass::Num && candidate.Name() == spinner->hint) {
                spinner->hint = std::to_string(j);
                spinner->SetCompanion(static_cast<int>(j));
                break;
            }
        }
    }
}

std::optional<size_t> TRackModel::StepCompanion(size_t spinner, int delta) {
    const int companion = m_controls[spinner]->Companion();
    if (companion < 0 || static_cast<size_t>(companion) >= m_controls.size()) return std::nullopt;
    TRackControl& display = *m_controls[static_cast<size_t>(companion)];
    display.SetValue(display.State().value + delta);
    return static_cast<size_t>(companion);
}

TFormObject TRackModel::Saved(const std::string& objectName, int left, int top) const {
    TFormObject root = m_root ? *m_root : EmptyWindowRecord(objectName, left, top);
    root.objectName = objectName;
    root.children.reserve(m_controls.size());
    for (const std::unique_ptr<TRackControl>& control : m_controls) {
        root.children.push_back(SavedControlRecord(*control));
    }
    return root;
}

std::optional<size_t> TRackModel::FindWritable(std::string_view name) const {
    for (size_t i = 0; i < m_controls.size(); ++i) {
        if (m_controls[i]->Name() == name && IsWritable(m_controls[i]->Class())) return i;
    }
    return std::nullopt;
}

std::optional<size_t> TRackModel::FindReadable(std::string_view name) const {
    for (size_t i = 0; i < m_controls.size(); ++i) {
        if (m_controls[i]->Name() == name && IsReadable(m_controls[i]->Class())) return i;
    }
    return std::nullopt;
}

}  // namespace korvane::racks
