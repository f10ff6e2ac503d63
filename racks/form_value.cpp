#include "racks/form_value.h"

#include <bit>
#include <limits>
#include <utility>

#include "racks/extended_float.h"
#include "racks/property_list.h"

namespace korvane::racks {

namespace {

constexpr size_t kShortStringMax = 255;
constexpr double kCurrencyScale = 10000.0;

}  // namespace

bool IsIntegerTag(TValueTag tag) {
    return tag == TValueTag::kInt8 || tag == TValueTag::kInt16 || tag == TValueTag::kInt32 ||
           tag == TValueTag::kInt64;
}

bool IsStringTag(TValueTag tag) {
    return tag == TValueTag::kString || tag == TValueTag::kLString || tag == TValueTag::kWString ||
           tag == TValueTag::kUtf8String;
}

bool IsFloatTag(TValueTag tag) {
    return tag == TValueTag::kExtended || tag == TValueTag::kSingle || tag == TValueTag::kDate ||
           tag == TValueTag::kCurrency;
}

std::string_view TagName(TValueTag tag) {
    switch (tag) {
        case TValueTag::kNull:
            return "Null";
        case TValueTag::kList:
            return "List";
        case TValueTag::kInt8:
            return "Int8";
        case TValueTag::kInt16:
            return "Int16";
        case TValueTag::kInt32:
            return "Int32";
        case TValueTag::kExtended:
            return "Extended";
        case TValueTag::kString:
            return "String";
        case TValueTag::kIdent:
            return "Ident";
        case TValueTag::kFalse:
            return "False";
        case TValueTag::kTrue:
            return "True";
        case TValueTag::kBinary:
            return "Binary";
        case TValueTag::kSet:
            return "Set";
        case TValueTag::kLString:
            return "LongString";
        case TValueTag::kNil:
            return "Nil";
        case TValueTag::kCollection:
            return "Collection";
        case TValueTag::kSingle:
            return "Single";
        case TValueTag::kCurrency:
            return "Currency";
        case TValueTag::kDate:
            return "Date";
        case TValueTag::kWString:
            return "WideString";
        case TValueTag::kInt64:
            return "Int64";
        case TValueTag::kUtf8String:
            return "Utf8String";
    }
    return "Unknown";
}

bool FitsIntegerTag(TValueTag tag, int64_t value) {
    switch (tag) {
        case TValueTag::kInt8:
            return value >= std::numeric_limits<int8_t>::min() &&
                   value <= std::numeric_limits<int8_t>::max();
        case TValueTag::kInt16:
            return value >= std::numeric_limits<int16_t>::min() &&
                   value <= std::numeric_limits<int16_t>::max();
        case TValueTag::kInt32:
            return value >= std::numeric_limits<int32_t>::min() &&
                   value <= std::numeric_limits<int32_t>::max();
        case TValueTag::kInt64:
            return true;
        default:
            return false;
    }
}

TValueTag SmallestIntegerTag(int64_t value) {
    for (TValueTag tag : {TValueTag::kInt8, TValueTag::kInt16, TValueTag::kInt32}) {
        if (FitsIntegerTag(tag, value)) return tag;
    }
    return TValueTag::kInt64;
}

TFormValue::TFormValue() : m_tag(TValueTag::kNull) {}
TFormValue::TFormValue(const TFormValue&) = default;
TFormValue::TFormValue(TFormValue&&) noexcept = default;
TFormValue& TFormValue::operator=(const TFormValue&) = default;
TFormValue& TFormValue::operator=(TFormValue&&) noexcept = default;
TFormValue::~TFormValue() = default;

template <typename TAlternative>
TFormValue::TFormValue(TValueTag tag, TAlternative payload)
    : m_tag(tag), m_payload(std::in_place_type<TAlternative>, std::move(payload)) {}

TFormValue TFormValue::Null() { return TFormValue(); }
TFormValue TFormValue::Nil() { return TFormValue(TValueTag::kNil, std::monostate{}); }

TFormValue TFormValue::Boolean(bool value) {
    return TFormValue(value ? TValueTag::kTrue : TValueTag::kFalse, std::monostate{});
}

TFormValue TFormValue::Integer(int64_t value) { return Integer(value, SmallestIntegerTag(value)); }

TFormValue TFormValue::Integer(int64_t value, TValueTag tag) { return TFormValue(tag, value); }

TFormValue TFormValue::Extended(TExtendedBytes bytes) {
    return TFormValue(TValueTag::kExtended, bytes);
}

TFormValue TFormValue::Extended(long double value) { return Extended(LongDoubleToExtended(value)); }

TFormValue TFormValue::Single(float value) { return SingleBits(std::bit_cast<uint32_t>(value)); }

TFormValue TFormValue::SingleBits(uint32_t bits) { return TFormValue(TValueTag::kSingle, bits); }

TFormValue TFormValue::Date(double value) { return DateBits(std::bit_cast<uint64_t>(value)); }

TFormValue TFormValue::DateBits(uint64_t bits) { return TFormValue(TValueTag::kDate, bits); }

TFormValue TFormValue::Currency(int64_t tenThousandths) {
    return TFormValue(TValueTag::kCurrency, tenThousandths);
}

TFormValue TFormValue::Text(std::string bytes) {
    const TValueTag tag =
        bytes.size() <= kShortStringMax ? TValueTag::kString : TValueTag::kLString;
    return Text(std::move(bytes), tag);
}

TFormValue TFormValue::Text(std::string bytes, TValueTag tag) {
    return TFormValue(tag, std::move(bytes));
}

TFormValue TFormValue::WideText(std::u16string units) {
    return TFormValue(TValueTag::kWString, std::move(units));
}

TFormValue TFormValue::Ident(std::string name) {
    return TFormValue(TValueTag::kIdent, std::move(name));
}

TFormValue TFormValue::Binary(std::string bytes) {
    return TFormValue(TValueTag::kBinary, std::move(bytes));
}

TFormValue TFormValue::Set(std::vector<std::string> names) {
    return TFormValue(TValueTag::kSet, std::move(names));
}

TFormValue TFormValue::List(std::vector<TFormValue> items) {
    return TFormValue(TValueTag::kList, std::move(items));
}

TFormValue TFormValue::Collection(std::vector<TCollectionItem> items) {
    return TFormValue(TValueTag::kCollection, std::move(items));
}

int64_t TFormValue::IntegerValue() const { return std::get<int64_t>(m_payload); }
const std::string& TFormValue::Bytes() const { return std::get<std::string>(m_payload); }
const std::u16string& TFormValue::WideUnits() const { return std::get<std::u16string>(m_payload); }
const std::vector<std::string>& TFormValue::SetNames() const {
    return std::get<std::vector<std::string>>(m_payload);
}
const std::vector<TFormValue>& TFormValue::ListItems() const {
    return std::get<std::vector<TFormValue>>(m_payload);
}
const std::vector<TCollectionItem>& TFormValue::CollectionItems() const {
    return std::get<std::vector<TCollectionItem>>(m_payload);
}
const TExtendedBytes& TFormValue::ExtendedValue() const {
    return std::get<TExtendedBytes>(m_payload);
}
uint32_t TFormValue::SingleValueBits() const { return std::get<uint32_t>(m_payload); }
uint64_t TFormValue::DateValueBits() const { return std::get<uint64_t>(m_payload); }

double TFormValue::AsDouble() const {
    switch (m_tag) {
        case TValueTag::kExtended:
            return static_cast<double>(ExtendedToLongDouble(ExtendedValue()));
        case TValueTag::kSingle:
            return std::bit_cast<float>(SingleValueBits());
        case TValueTag::kDate:
            return std::bit_cast<double>(DateValueBits());
        case TValueTag::kCurrency:
            return static_cast<double>(IntegerValue()) / kCurrencyScale;
        default:
            return static_cast<double>(IntegerValue());
    }
}

bool operator==(const TFormValue& a, const TFormValue& b) {
    return a.m_tag == b.m_tag && a.m_payload == b.m_payload;
}

}  // namespace korvane::racks
