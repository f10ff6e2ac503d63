#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "racks/form_value.h"

namespace korvane::racks {

struct TFormProperty {
    std::string name;  // nested properties in dotted form, e.g. "Font.Name"
    TFormValue value;

    friend bool operator==(const TFormProperty&, const TFormProperty&) = default;
};

enum class TReadStatus { kOk, kMissing, kWrongKind };

// The outcome of a typed property read: the value, or why there is none.
template <typename T>
struct TPropertyRead {
    TReadStatus status = TReadStatus::kMissing;
    T value{};
    std::string message;  // empty when status is kOk

    bool Ok() const { return status == TReadStatus::kOk; }
    T ValueOr(T fallback) const { return Ok() ? value : std::move(fallback); }
};

// The ordered properties of an object or collection item. Reads by name return typed results;
// setters replace a property where it stands, or append it, so the order of a file survives.
class TPropertyList {
 public:
    TPropertyList() = default;
    explicit TPropertyList(std::vector<TFormProperty> properties);

    const std::vector<TFormProperty>& Items() const { return m_properties; }
    const TFormValue* Find(std::string_view name) const;

    TPropertyRead<int64_t> GetInteger(std::string_view name) const;
    // Integers are accepted too, as a numeric property may hold either.
    TPropertyRead<double> GetFloat(std::string_view name) const;
    // Byte strings as they are; wide and UTF-8 strings as Latin-1 bytes, '?' for other
    // characters, since script values hold one byte per character.
    TPropertyRead<std::string> GetText(std::string_view name) const;
    TPropertyRead<bool> GetBool(std::string_view name) const;
    TPropertyRead<std::string> GetIdent(std::string_view name) const;
    TPropertyRead<std::vector<std::string>> GetSet(std::string_view name) const;
    TPropertyRead<std::string> GetBytes(std::string_view name) const;
    // A list of strings, such as "Items.Strings" of a drop-down list.
    TPropertyRead<std::vector<std::string>> GetTextList(std::string_view name) const;

    void Set(std::string_view name, TFormValue value);
    void SetInteger(std::string_view name, int64_t value);
    void SetFloat(std::string_view name, long double value);
    void SetText(std::string_view name, std::string bytes);
    void SetBool(std::string_view name, bool value);
    void SetIdent(std::string_view name, std::string ident);
    void SetSet(std::string_view name, std::vector<std::string> names);
    void SetBytes(std::string_view name, std::string bytes);

    friend bool operator==(const TPropertyList&, const TPropertyList&) = default;

 private:
    std::vector<TFormProperty> m_properties;
};

// One item of a collection value: an optional integer index, then its properties.
struct TCollectionItem {
    std::optional<TFormValue> index;
    TPropertyList properties;

    friend bool operator==(const TCollectionItem&, const TCollectionItem&) = default;
};

}  // namespace korvane::racks
