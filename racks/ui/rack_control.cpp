#include "racks/ui/rack_control.h"

#include <utility>

namespace korvane::racks {

TRange DefaultRange(TControlClass cls) {
    switch (cls) {
        case TControlClass::Num:
            return {0, 9999};
        case TControlClass::Switch:
            return {0, 3};
        default:
            return {0, 100};
    }
}

TRackControl::TRackControl(TControlClass cls, std::string name, TFormObject record,
                           const TFontLook& windowFont)
    : look(DefaultLook(cls, windowFont)),
      range(DefaultRange(cls)),
      m_class(cls),
      m_name(std::move(name)),
      m_record(std::move(record)) {
    m_state.value = range.min;
}

void TRackControl::SetValue(double value) {
    if (value < range.min) value = range.min;
    if (value > range.max) value = range.max;
    m_state.value = value;
}

void TRackControl::SetText(std::string text) {
    if (m_class == TControlClass::Memo && text.size() > kMemoLimit) {
        text.erase(0, text.size() - kMemoLimit);
    }
    m_state.text = std::move(text);
}

void TRackControl::SetItems(std::vector<std::string> items) {
    m_state.items = std::move(items);
    m_state.itemIndex = -1;
    if (!m_state.items.empty()) SelectItem(0);
}

void TRackControl::SelectItem(int index) {
    if (index < 0 || static_cast<size_t>(index) >= m_state.items.size()) {
        m_state.itemIndex = -1;
        return;
    }
    m_state.itemIndex = index;
    m_state.text = m_state.items[static_cast<size_t>(index)];
}

void TRackControl::SetRange(double min, double max) {
    if (max < min) max = min;
    range = {min, max};
    SetValue(m_state.value);
}

void TRackControl::QueueScopeSample(std::optional<int32_t> sample) {
    if (scope.pending.size() >= kMaxScopeSamples) scope.pending.pop_front();
    scope.pending.push_back(sample);
    scope.armed = true;
}

void TRackControl::ScopeTick(bool runActive) {
    if (!scope.armed) return;
    scope.armed = false;
    if (scope.samples.size() != static_cast<size_t>(scope.channels)) {
        scope.samples.resize(static_cast<size_t>(scope.channels));
    }
    for (const std::optional<int32_t>& sample : scope.pending) {
        const double first = runActive && sample ? static_cast<double>(*sample) : range.min;
        AppendScopeSample(0, first);
        for (size_t channel = 1; channel < scope.samples.size(); ++channel) {
            AppendScopeSample(channel, range.min);
        }
    }
    scope.pending.clear();
}

void TRackControl::AppendScopeSample(size_t channel, double sample) {
    std::deque<double>& trace = scope.samples[channel];
    if (sample < range.min) sample = range.min;
    if (sample > range.max) sample = range.max;
    trace.push_back(sample);
    while (trace.size() > scope.capacity) trace.pop_front();
}

}  // namespace korvane::racks
