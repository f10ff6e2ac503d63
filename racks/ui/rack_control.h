#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "racks/form_object.h"
#include "racks/ui/control_class.h"
#include "racks/ui/control_look.h"

namespace korvane::racks {

// A picture as a rack file stores it: the graphic class that wrote it and the picture file's
// own bytes (a Windows bitmap, a JPEG, an icon ...).
struct TPicture {
    std::string graphicClass;
    std::string data;

    bool Empty() const { return data.empty(); }
    friend bool operator==(const TPicture&, const TPicture&) = default;
};

// The limits a ranged control keeps its value within.
struct TRange {
    double min = 0;
    double max = 100;
};

// What a control shows that scripts, the user or the rack commands change after loading.
struct TControlState {
    double value = 0;  // position, value or switch offset
    bool active = false;
    std::string text;  // caption, text or memo text
    std::vector<std::string> items;
    int itemIndex = -1;
    bool visible = true;
    TPicture picture;

    friend bool operator==(const TControlState&, const TControlState&) = default;
};

// The scope's trace and the samples written since its last tick.
struct TScopeTrace {
    int channels = 1;
    int intervalMs = 100;
    size_t capacity = 0;  // samples kept per channel
    std::vector<std::deque<double>> samples;
    std::deque<std::optional<int32_t>> pending;  // none: the written value was no integer
    bool armed = false;
};

inline constexpr size_t kMemoLimit = 65000;
inline constexpr int kMaxSwitchPositions = 64;
inline constexpr size_t kMaxScopeSamples = 4096;

// One control of a rack: its class, name, look and current state, and the record it was read
// from. The setters keep the class's rules (ranges, the memo limit); the widget that shows
// the control only paints what it finds here.
class TRackControl {
 public:
    TRackControl(TControlClass cls, std::string name, TFormObject record,
                 const TFontLook& windowFont);

    TControlClass Class() const { return m_class; }
    const std::string& Name() const { return m_name; }
    const TFormObject& Record() const { return m_record; }

    // What the record sets; the loader fills these in before the control is shown.
    std::string hint;
    TBounds bounds;
    TControlLook look;
    TRange range;
    TScopeTrace scope;

    const TControlState& State() const { return m_state; }
    // Clamps to the range; a NaN (only a rack file can give one) is kept as it is.
    void SetValue(double value);
    void SetActive(bool on) { m_state.active = on; }
    // A memo keeps only the last kMemoLimit characters.
    void SetText(std::string text);
    // Replaces the items and selects the first, which becomes the text.
    void SetItems(std::vector<std::string> items);
    // The user's choice in a drop-down list (-1 for none); the text follows the item.
    void SelectItem(int index);
    void SetVisible(bool visible) { m_state.visible = visible; }
    void SetPicture(TPicture picture) { m_state.picture = std::move(picture); }
    // Sets the switch's number of positions (range 0..positions-1) and the ranged classes'
    // limits; a maximum below the minimum is raised to it.
    void SetRange(double min, double max);
    // The state as loaded, so that saving writes back only what changed since.
    void MarkLoaded() { m_loaded = m_state; }
    const TControlState& LoadedState() const { return m_loaded; }

    // The spinner's companion: the index of a numeric display, or -1.
    int Companion() const { return m_companion; }
    void SetCompanion(int index) { m_companion = index; }

    // A written scope sample waits for the scope's next tick; the tick appends every waiting
    // sample (the minimum when no run is in progress, or for channels after the first).
    void QueueScopeSample(std::optional<int32_t> sample);
    void ScopeTick(bool runActive);

 private:
    void AppendScopeSample(size_t channel, double sample);

    TControlClass m_class;
    std::string m_name;
    TFormObject m_record;
    TControlState m_state;
    TControlState m_loaded;
    int m_companion = -1;
};

// The range a class starts with when its record leaves the limits out.
TRange DefaultRange(TControlClass cls);

}  // namespace korvane::racks
