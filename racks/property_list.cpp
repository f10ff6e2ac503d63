#include "racks/property_list.h"

#include <algorithm>

namespace korvane::racks {

namespace {

constexpr char kUnmappable = '?';
constexpr uint32_t kLatin1Max = 0xFF;

template <typename T>
TPropertyRead<T> Missing(std::string_view name) {
    return {TReadStatus::kMissing, T{}, "property " + std::string(name) + " is missing"};
}

template <typename T>
TPropertyRead<T> WrongKind(std::string_view name, const TFormValue& value,
                           std::string_view wanted) {
    return {TReadStatus::kWrongKind, T{},
            "property " + std::string(name) + " holds " + std::string(TagName(value.Tag())) +
                ", not " + std::string(wanted)};
}

template <typename T>
TPropertyRead<T> Found(T value) {
    return {TReadStatus::kOk, std::move(value), {}};
}

void AppendLatin1(std::string& out, uint32_t codePoint) {
    out += codePoint <= kLatin1Max ? static_cast<char>(codePoint) : kUnmappable;
}

std::string WideToLatin1(const std::u16string& units) {
    std::string out;
    for (size_t i = 0; i < units.size(); ++i) {
        uint32_t unit = units[i];
        const bool pair = unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size() &&
                          units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000;
        if (pair) ++i;  // a surrogate pair is one character, never Latin-1
        AppendLatin1(out, pair ? kLatin1Max + 1 : unit);
    }
    return out;
}

size_t Utf8SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead < 0xC0) return 0;  // a continuation byte cannot start a character
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    return 4;
}

// Decodes UTF-8 one character at a time; a malformed byte counts as one unmappable character.
std::string Utf8ToLatin1(const std::string& bytes) {
    std::string out;
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        const size_t length = Utf8SequenceLength(lead);
        bool wellFormed = length > 0 && i + length <= bytes.size();
        uint32_t codePoint = length > 1 ? lead & (0x3Fu >> (length - 1)) : lead;
        for (size_t k = 1; wellFormed && k < length; ++k) {
            const auto next = static_cast<unsigned char>(bytes[i + k]);
            wellFormed = (next & 0xC0) == 0x80;
            codePoint = (codePoint << 6) | (next & 0x3Fu);
        }
        AppendLatin1(out, wellFormed ? codePoint : kLatin1Max + 1);
        i += wellFormed ? length : 1;
    }
    return out;
}

std::string TextOf(const TFormValue& value) {
    switch (value.Tag()) {
        case TValueTag::kWString:
            return WideToLatin1(value.WideUnits());
        case TValueTag::kUtf8String:
            return Utf8ToLatin1(value.Bytes());
        default:
            return value.Bytes();
    }
}

}  // namespace

TPropertyList::TPropertyList(std::vector<TFormProperty> properties)
    : m_properties(std::move(properties)) {}

const TFormValue* TPropertyList::Find(std::string_view name) const {
    auto it = std::find_if(m_properties.begin(), m_properties.end(),
                           [name](const TFormProperty& p) { return p.name == name; });
    return it == m_properties.end() ? nullptr : &it->value;
}

TPropertyRead<int64_t> TPropertyList::GetInteger(std::string_view name) const {
    const TFormValue* value = Find(name);
    if (!value) return Missing<int64_t>(name);
    if (!IsIntegerTag(value->Tag())) return WrongKind<int64_t>(name, *value, "an integer");
    return Found(value->IntegerValue());
}

TPropertyRead<double> TPropertyList::GetFloat(std::string_view name) const {
    const TFormValue* value = Find(name);
    if (!value) return Missing<double>(name);
    if (!IsFloatTag(value->Tag()) && !IsIntegerTag(value->Tag())) {
        return WrongKind<double>(name, *value, "a number");
    }
    return Found(value->AsDouble());
}

TPropertyRead<std::string> TPropertyList::GetText(std::string_view name) const {
    const TFormValue* value = Find(name);
    if (!value) return Missing<std::string>(name);
    if (!IsStringTag(value->Tag())) return WrongKind<std::string>(name, *value, "a string");
    return Found(TextOf(*value));
}

TPropertyRead<bool> TPropertyList::GetBool(std::string_view name) const {
    const TFormValue* value = Find(name);
    if (!value) return Missing<bool>(name);
    if (value->Tag() != TValueTag::kTrue && value->Tag() != TValueTag::kFalse) {
        return WrongKind<bool>(name, *value, "a boolean");
    }
    return Found(value->Tag() == TValueTag::kTrue);
}

TPropertyRead<std::string> TPropertyList::GetIdent(std::string_view name) const {
    const TFormValue* value = Find(name);
    if (!value) return Missing<std::string>(name);
    if (value->Tag() != TValueTag::kIdent)
        return WrongKind<std::string>(name, *value, "an identifier");
    return Found(value->Bytes());
}

TPropertyRead<std::vector<std::string>> TPropertyList::GetSet(std::string_view name) const {
    const TFormValue* value = Find(name);
    if (!value) return Missing<std::vector<std::string>>(name);
    if (value->Tag() != TValueTag::kSet) {
        return WrongKind<std::vector<std::string>>(name, *value, "a set");
    }
    return Found(value->SetNames());
}

TPropertyRead<std::string> TPropertyList::GetBytes(std::string_view name) const {
    const TFormValue* value = Find(name);
    if (!value) return Missing<std::string>(name);
    if (value->Tag() != TValueTag::kBinary)
        return WrongKind<std::string>(name, *value, "raw bytes");
    return Found(value->Bytes());
}

TPropertyRead<std::vector<std::string>> TPropertyList::GetTextList(std::string_view name) const {
    using TTexts = std::vector<std::string>;
    const TFormValue* value = Find(name);
    if (!value) return Missing<TTexts>(name);
    const bool allText = value->Tag() == TValueTag::kList &&
                         std::all_of(value->ListItems().begin(), value->ListItems().end(),
                                     [](const TFormValue& v) { return IsStringTag(v.Tag()); });
    if (!allText) return WrongKind<TTexts>(name, *value, "a list of strings");
    TTexts texts;
    for (const TFormValue& item : value->ListItems()) texts.push_back(TextOf(item));
    return Found(std::move(texts));
}

void TPropertyList::Set(std::string_view name, TFormValue value) {
    auto it = std::find_if(m_properties.begin(), m_properties.end(),
                           [name](const TFormProperty& p) { return p.name == name; });
    if (it != m_properties.end()) {
        it->value = std::move(value);
    } else {
        m_properties.push_back({std::string(name), std::move(value)});
    }
}

void TPropertyList::SetInteger(std::string_view name, int64_t value) {
    Set(name, TFormValue::Integer(value));
}

void TPropertyList::SetFloat(std::string_view name, long double value) {
    Set(name, TFormValue::Extended(value));
}

void TPropertyList::SetText(std::string_view name, std::string bytes) {
    Set(name, TFormValue::Text(std::move(bytes)));
}

void TPropertyList::SetBool(std::string_view name, bool value) {
    Set(name, TFormValue::Boolean(value));
}

void TPropertyList::SetIdent(std::string_view name, std::string ident) {
    Set(name, TFormValue::Ident(std::move(ident)));
}

void TPropertyList::SetSet(std::string_view name, std::vector<std::string> names) {
    Set(name, TFormValue::Set(std::move(names)));
}

void TPropertyList::SetBytes(std::string_view name, std::string bytes) {
    Set(name, TFormValue::Binary(std::move(bytes)));
}

}  // namespace korvane::racks
