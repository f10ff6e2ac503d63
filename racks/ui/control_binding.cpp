#include "racks/ui/control_binding.h"

#include <cmath>

#include "engine/execute.h"
#include "engine/number_text.h"

namespace korvane::racks {

bool TRackBinding::Write(engine::TExecute& run, std::string_view name,
                         std::string_view expression) {
    if (engine::IsSystemVariable(name)) return false;
    const std::optional<size_t> index = m_model.FindWritable(name);
    if (!index) return false;
    const engine::TValue value = run.EvaluateExpression(expression);
    run.ClearError();
    // An expression that does not evaluate has no value to write.
    if (!value.ok || !Apply(run, *index, value.text)) {
        run.SetError(BindingOf(m_model.Control(*index).Class()).writeError);
        return true;
    }
    m_view.ControlChanged(*index);
    return true;
}

bool TRackBinding::Apply(engine::TExecute& run, size_t index, const std::string& value) {
    TRackControl& control = m_model.Control(index);
    switch (BindingOf(control.Class()).kind) {
        case TBindKind::Integer:
        case TBindKind::IntegerToFloat: {
            const std::optional<int32_t> number = engine::StrictInt(value);
            if (!number) return false;
            control.SetValue(*number);
            return true;
        }
        case TBindKind::Float: {
            const std::optional<double> number = engine::ParseNumber(value);
            if (!number) return false;
            control.SetValue(*number);
            return true;
        }
        case TBindKind::Text:
        case TBindKind::MemoText:
            control.SetText(value);
            return true;
        case TBindKind::OnOff:
            if (value == "1") control.SetActive(true);
            if (value == "0") control.SetActive(false);
            return true;
        case TBindKind::ScopeSample:
            // The tick takes the sample from the variable of the scope's name, which this
            // write stores; it is converted here, where the value is at hand.
            run.SetVariable(control.Name(), value);
            control.QueueScopeSample(engine::StrictInt(value));
            m_view.ScopeArmed(index);
            return true;
        case TBindKind::None:
            break;
    }
    return false;
}

bool TRackBinding::Read(engine::TExecute& run, std::string_view name, std::string& value) {
    if (engine::IsSystemVariable(name)) return false;
    const std::optional<size_t> index = m_model.FindReadable(name);
    if (!index) return false;
    const TRackControl& control = m_model.Control(*index);
    const TControlState& state = control.State();
    const TClassBinding& binding = BindingOf(control.Class());
    switch (binding.kind) {
        case TBindKind::Text:
        case TBindKind::MemoText:
            value = state.text;
            break;
        case TBindKind::OnOff:
            value.assign(1, state.active ? '1' : '0');
            break;
        default:
            // Only a rack file can leave a value that is no number (a NaN position).
            if (!std::isfinite(state.value)) {
                value.clear();
                run.SetError(binding.readError);
                break;
            }
            value = engine::FormatNumber(state.value);
            break;
    }
    return true;
}

}  // namespace korvane::racks
