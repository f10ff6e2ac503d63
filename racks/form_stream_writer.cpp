#include "racks/form_stream_writer.h"

#include <cstdint>
#include <limits>

namespace korvane::racks {
namespace {

constexpr char kSignature[] = "TPF0";
constexpr char kEndOfList = 0;
constexpr size_t kShortStringMax = 255;

class TStreamWriter {
 public:
    bool Object(const TFormObject& object) {
        if (object.prefix && !Prefix(*object.prefix)) return false;
        if (object.className.empty()) return Fail("an object has no class name");
        if (!object.prefix && object.className.size() >= TObjectPrefix::kMarker) {
            return Fail("class name " + object.className.substr(0, 20) +
                        "... is too long for an object record without a prefix");
        }
        if (!ShortString(object.className, "class name") ||
            !ShortString(object.objectName, "object name") || !Properties(object.properties)) {
            return false;
        }
        for (const TFormObject& child : object.children) {
            if (!Object(child)) return false;
        }
        m_out += kEndOfList;
        return true;
    }

    std::string Take() { return std::move(m_out); }
    const std::string& Error() const { return m_error; }

 private:
    bool Fail(std::string message) {
        m_error = std::move(message);
        return false;
    }

    bool Prefix(const TObjectPrefix& prefix) {
        m_out += static_cast<char>(prefix.Byte());
        return !prefix.childPosition || IntegerValue(*prefix.childPosition, "child position");
    }

    bool IntegerValue(const TFormValue& value, std::string_view what) {
        if (!IsIntegerTag(value.Tag())) return Fail(std::string(what) + " is not an integer");
        return Value(value);
    }

    bool Properties(const TPropertyList& properties) {
        for (const TFormProperty& property : properties.Items()) {
            if (property.name.empty()) return Fail("a property has no name");
            if (!ShortString(property.name, "property name") || !Value(property.value)) {
                return false;
            }
        }
        m_out += kEndOfList;
        return true;
    }

    bool ShortString(const std::string& text, std::string_view what) {
        if (text.size() > kShortStringMax) {
            return Fail(std::string(what) + " " + text.substr(0, 20) +
                        "... is longer than 255 bytes");
        }
        m_out += static_cast<char>(text.size());
        m_out += text;
        return true;
    }

    void Little(uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) m_out += static_cast<char>(value >> (8 * i));
    }

    bool LongBytes(const std::string& bytes) {
        if (bytes.size() > std::numeric_limits<uint32_t>::max())
            return Fail("a value is over 4 GB");
        Little(bytes.size(), 4);
        m_out += bytes;
        return true;
    }

    bool Value(const TFormValue& value) {
        const TValueTag tag = value.Tag();
        // A value made with too narrow a tag would be cut silently.
        if (IsIntegerTag(tag) && !FitsIntegerTag(tag, value.IntegerValue())) {
            return Fail("integer " + std::to_string(value.IntegerValue()) +
                        " does not fit its tag");
        }
        m_out += static_cast<char>(tag);
        switch (tag) {
            case TValueTag::kNull:
            case TValueTag::kNil:
            case TValueTag::kFalse:
            case TValueTag::kTrue:
                return true;
            case TValueTag::kInt8:
                Little(value.IntegerValue(), 1);
                return true;
            case TValueTag::kInt16:
                Little(value.IntegerValue(), 2);
                return true;
            case TValueTag::kInt32:
                Little(value.IntegerValue(), 4);
                return true;
            case TValueTag::kInt64:
            case TValueTag::kCurrency:
                Little(value.IntegerValue(), 8);
                return true;
            case TValueTag::kSingle:
                Little(value.SingleValueBits(), 4);
                return true;
            case TValueTag::kDate:
                Little(value.DateValueBits(), 8);
                return true;
            case TValueTag::kExtended:
                for (uint8_t byte : value.ExtendedValue()) m_out += static_cast<char>(byte);
                return true;
            case TValueTag::kString:
                return ShortString(value.Bytes(), "short string");
            case TValueTag::kIdent:
                return ShortString(value.Bytes(), "identifier");
            case TValueTag::kLString:
            case TValueTag::kUtf8String:
            case TValueTag::kBinary:
                return LongBytes(value.Bytes());
            case TValueTag::kWString:
                return Wide(value.WideUnits());
            case TValueTag::kSet:
                return Set(value.SetNames());
            case TValueTag::kList:
                return List(value.ListItems());
            case TValueTag::kCollection:
                return Collection(value.CollectionItems());
        }
        return Fail("unknown value tag");
    }

    bool Wide(const std::u16string& units) {
        if (units.size() > std::numeric_limits<uint32_t>::max())
            return Fail("a value is over 4 GB");
        Little(units.size(), 4);
        for (char16_t unit : units) Little(unit, 2);
        return true;
    }

    bool Set(const std::vector<std::string>& names) {
        for (const std::string& name : names) {
            if (name.empty()) return Fail("a set has an empty member");
            if (!ShortString(name, "set member")) return false;
        }
        m_out += kEndOfList;
        return true;
    }

    bool List(const std::vector<TFormValue>& items) {
        for (const TFormValue& item : items) {
            if (item.Tag() == TValueTag::kNull) return Fail("a list holds a Null value");
            if (!Value(item)) return false;
        }
        m_out += kEndOfList;
        return true;
    }

    bool Collection(const std::vector<TCollectionItem>& items) {
        for (const TCollectionItem& item : items) {
            if (item.index && !IntegerValue(*item.index, "collection item index")) return false;
            m_out += static_cast<char>(TValueTag::kList);
            if (!Properties(item.properties)) return false;
        }
        m_out += kEndOfList;
        return true;
    }

    std::string m_out = kSignature;
    std::string m_error;
};

}  // namespace

TResult<std::string> WriteFormStream(const TFormObject& root) {
    TStreamWriter writer;
    if (!writer.Object(root)) {
        return TResult<std::string>::Failure("cannot write form stream: " + writer.Error());
    }
    return writer.Take();
}

}  // namespace korvane::racks
