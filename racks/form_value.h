#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace korvane::racks {

// The value tags of the form stream, numbered as they are stored.
enum class TValueTag : uint8_t {
    kNull = 0,
    kList = 1,
    kInt8 = 2,
    kInt16 = 3,
    kInt32 = 4,
    kExtended = 5,
    kString = 6,
    kIdent = 7,
    kFalse = 8,
    kTrue = 9,
    kBinary = 10,
    kSet = 11,
    kLString = 12,
    kNil = 13,
    kCollection = 14,
    kSingle = 15,
    kCurrency = 16,
    kDate = 17,
    kWString = 18,
    kInt64 = 19,
    kUtf8String = 20,
};

inline constexpr uint8_t kLastValueTag = 20;

bool IsIntegerTag(TValueTag tag);
bool IsStringTag(TValueTag tag);  // short, long, wide and UTF-8 strings
bool IsFloatTag(TValueTag tag);   // extended, single, date, currency
std::string_view TagName(TValueTag tag);

// The smallest integer tag that holds value, as form designers write integers.
TValueTag SmallestIntegerTag(int64_t value);
bool FitsIntegerTag(TValueTag tag, int64_t value);

// An 80-bit extended float exactly as stored: 64-bit mantissa, then sign and exponent.
using TExtendedBytes = std::array<uint8_t, 10>;

struct TCollectionItem;

// One value of a form stream. It keeps its tag and its payload bit for bit (float payloads as
// raw bits, the integer width in the tag), so writing it again gives the bytes it was read from.
// The payload getters may only be called for the tags they name.
class TFormValue {
 public:
    TFormValue();  // Null
    TFormValue(const TFormValue&);
    TFormValue(TFormValue&&) noexcept;
    TFormValue& operator=(const TFormValue&);
    TFormValue& operator=(TFormValue&&) noexcept;
    ~TFormValue();

    static TFormValue Null();
    static TFormValue Nil();
    static TFormValue Boolean(bool value);
    static TFormValue Integer(int64_t value);                 // smallest tag
    static TFormValue Integer(int64_t value, TValueTag tag);  // tag must fit value
    static TFormValue Extended(TExtendedBytes bytes);
    static TFormValue Extended(long double value);
    static TFormValue Single(float value);
    static TFormValue SingleBits(uint32_t bits);
    static TFormValue Date(double value);
    static TFormValue DateBits(uint64_t bits);
    static TFormValue Currency(int64_t tenThousandths);
    // Bytes as a short string when they fit in 255 bytes, else as a long string.
    static TFormValue Text(std::string bytes);
    // tag is kString (at most 255 bytes), kLString or kUtf8String.
    static TFormValue Text(std::string bytes, TValueTag tag);
    static TFormValue WideText(std::u16string units);
    static TFormValue Ident(std::string name);
    static TFormValue Binary(std::string bytes);
    static TFormValue Set(std::vector<std::string> names);
    static TFormValue List(std::vector<TFormValue> items);
    static TFormValue Collection(std::vector<TCollectionItem> items);

    TValueTag Tag() const { return m_tag; }

    int64_t IntegerValue() const;             // integer tags; currency in ten-thousandths
    const std::string& Bytes() const;         // byte strings, identifiers, raw bytes
    const std::u16string& WideUnits() const;  // wide strings
    const std::vector<std::string>& SetNames() const;
    const std::vector<TFormValue>& ListItems() const;
    const std::vector<TCollectionItem>& CollectionItems() const;
    const TExtendedBytes& ExtendedValue() const;
    uint32_t SingleValueBits() const;
    uint64_t DateValueBits() const;
    // Extended, single, date, currency and integer values as a double.
    double AsDouble() const;

    friend bool operator==(const TFormValue& a, const TFormValue& b);

 private:
    using TPayload = std::variant<std::monostate, int64_t, uint32_t, uint64_t, TExtendedBytes,
                                  std::string, std::u16string, std::vector<std::string>,
                                  std::vector<TFormValue>, std::vector<TCollectionItem>>;

    // Builds the payload in place: moving a whole variant in trips a false uninitialised-use
    // warning of GCC 12 under the sanitizers.
    template <typename TAlternative>
    TFormValue(TValueTag tag, TAlternative payload);

    TValueTag m_tag;
    TPayload m_payload;
};

}  // namespace korvane::racks
