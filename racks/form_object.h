#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "racks/form_value.h"
#include "racks/property_list.h"

namespace korvane::racks {

// The optional byte in front of an object record: high nibble 0xF, low nibble flags. The
// child-position bit is not kept in flags; it is set exactly when childPosition is present.
struct TObjectPrefix {
    static constexpr uint8_t kMarker = 0xF0;
    static constexpr uint8_t kInherited = 0x01;
    static constexpr uint8_t kChildPosition = 0x02;
    static constexpr uint8_t kInline = 0x04;

    uint8_t flags = 0;                          // low nibble without kChildPosition
    std::optional<TFormValue> childPosition{};  // an integer value

    uint8_t Byte() const {
        return static_cast<uint8_t>(kMarker | flags | (childPosition ? kChildPosition : 0));
    }
    friend bool operator==(const TObjectPrefix&, const TObjectPrefix&) = default;
};

// One object record of a form stream: the window at the root, its controls as children.
struct TFormObject {
    std::optional<TObjectPrefix> prefix{};
    std::string className{};
    std::string objectName{};
    TPropertyList properties{};
    std::vector<TFormObject> children{};

    friend bool operator==(const TFormObject&, const TFormObject&) = default;
};

}  // namespace korvane::racks
