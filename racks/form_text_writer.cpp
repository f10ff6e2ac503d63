#include <algorithm>
#include <cstdint>
#include <type_traits>

#include "racks/form_number_text.h"
#include "racks/form_text.h"
#include "racks/form_text_syntax.h"

namespace korvane::racks {
namespace {

constexpr size_t kBinaryBytesPerLine = 32;
constexpr size_t kShortStringMax = 255;
constexpr char kHexDigits[] = "0123456789ABCDEF";

bool IsPrintable(uint32_t unit) { return unit >= 0x20 && unit < 0x7F; }

// Quoted runs for printable ASCII, #NN for every other character.
template <typename TString>
std::string Quote(const TString& units) {
    if (units.empty()) return "''";
    std::string out;
    bool open = false;
    for (auto c : units) {
        const auto unit = static_cast<uint32_t>(std::make_unsigned_t<decltype(c)>(c));
        if (IsPrintable(unit) != open) {
            out += '\'';
            open = !open;
        }
        if (!open) {
            out += '#' + std::to_string(unit);
        } else {
            out += static_cast<char>(unit);
            if (unit == '\'') out += '\'';
        }
    }
    if (open) out += '\'';
    return out;
}

std::string Hex(const uint8_t* bytes, size_t count) {
    std::string out;
    for (size_t i = 0; i < count; ++i) {
        out += kHexDigits[bytes[i] >> 4];
        out += kHexDigits[bytes[i] & 0x0F];
    }
    return out;
}

template <typename TInteger>
std::string RawBits(std::string_view word, TInteger bits) {
    uint8_t bytes[sizeof bits];
    for (size_t i = 0; i < sizeof bits; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
    return std::string(word) + "({" + Hex(bytes, sizeof bits) + "})";
}

class TTextWriter {
 public:
    bool Object(const TFormObject& object, int level) {
        Indent(level);
        if (!Header(object)) return false;
        for (const TFormProperty& property : object.properties.Items()) {
            if (!Property(property, level + 1)) return false;
        }
        for (const TFormObject& child : object.children) {
            if (!Object(child, level + 1)) return false;
        }
        Indent(level);
        m_out += kEndKeyword;
        m_out += '\n';
        return true;
    }

    std::string Take() { return std::move(m_out); }
    const std::string& Error() const { return m_error; }

 private:
    bool Fail(std::string message) {
        m_error = std::move(message);
        return false;
    }

    void Indent(int level) { m_out.append(static_cast<size_t>(level) * 2, ' '); }

    bool Header(const TFormObject& object) {
        if (!IsIdentifier(object.className))
            return Fail("class name '" + object.className + "' is not an identifier");
        if (!object.objectName.empty() && !IsIdentifier(object.objectName)) {
            return Fail("object name '" + object.objectName + "' is not an identifier");
        }
        m_out += Keyword(object.prefix);
        m_out += ' ';
        if (!object.objectName.empty()) m_out += object.objectName + ": ";
        m_out += object.className;
        if (object.prefix && object.prefix->childPosition &&
            !Bracketed(*object.prefix->childPosition)) {
            return false;
        }
        m_out += '\n';
        return true;
    }

    static std::string Keyword(const std::optional<TObjectPrefix>& prefix) {
        if (!prefix) return std::string(kObjectKeyword);
        if (prefix->flags == TObjectPrefix::kInherited) return std::string(kInheritedKeyword);
        if (prefix->flags == TObjectPrefix::kInline) return std::string(kInlineKeyword);
        if (prefix->flags == 0 && prefix->childPosition) return std::string(kObjectKeyword);
        return std::string(kObjectKeyword) + "(" + std::to_string(prefix->Byte()) + ")";
    }

    bool Bracketed(const TFormValue& integer) {
        if (!IsIntegerTag(integer.Tag()))
            return Fail("a child position or item index is not an integer");
        m_out += " [";
        Integer(integer);
        m_out += ']';
        return true;
    }

    bool Property(const TFormProperty& property, int level) {
        if (!IsDottedIdentifier(property.name) || IsRecordKeyword(property.name)) {
            return Fail("property name '" + property.name + "' cannot be written as text");
        }
        Indent(level);
        m_out += property.name + " = ";
        if (!Value(property.value, level)) return false;
        m_out += '\n';
        return true;
    }

    void Integer(const TFormValue& value) {
        const bool smallest = value.Tag() == SmallestIntegerTag(value.IntegerValue());
        const std::string digits = std::to_string(value.IntegerValue());
        m_out += smallest ? digits : std::string(TagName(value.Tag())) + "(" + digits + ")";
    }

    void Text(const TFormValue& value) {
        const TValueTag tag = value.Tag();
        if (tag == TValueTag::kWString) {
            m_out += "WideString(" + Quote(value.WideUnits()) + ")";
        } else if (tag == TValueTag::kUtf8String ||
                   (tag == TValueTag::kLString && value.Bytes().size() <= kShortStringMax)) {
            m_out += std::string(TagName(tag)) + "(" + Quote(value.Bytes()) + ")";
        } else {
            m_out += Quote(value.Bytes());
        }
    }

    void Ident(const std::string& name) {
        const bool plain = IsIdentifier(name) && !IsValueKeyword(name);
        m_out += plain ? name : "Ident(" + Quote(name) + ")";
    }

    void Float(const TFormValue& value) {
        switch (value.Tag()) {
            case TValueTag::kExtended: {
                const TExtendedBytes& bytes = value.ExtendedValue();
                m_out += FormatExtendedText(bytes).value_or("Extended({" +
                                                            Hex(bytes.data(), bytes.size()) + "})");
                break;
            }
            case TValueTag::kSingle: {
                std::optional<std::string> text = FormatSingleText(value.SingleValueBits());
                m_out += text ? *text + "s" : RawBits("Single", value.SingleValueBits());
                break;
            }
            case TValueTag::kDate: {
                std::optional<std::string> text = FormatDateText(value.DateValueBits());
                m_out += text ? *text + "d" : RawBits("Date", value.DateValueBits());
                break;
            }
            default:
                m_out += FormatCurrencyText(value.IntegerValue()) + "c";
                break;
        }
    }

    bool Value(const TFormValue& value, int level) {
        const TValueTag tag = value.Tag();
        if (IsIntegerTag(tag)) {
            Integer(value);
        } else if (IsStringTag(tag)) {
            Text(value);
        } else if (IsFloatTag(tag)) {
            Float(value);
        } else {
            return OtherValue(value, level);
        }
        return true;
    }

    bool OtherValue(const TFormValue& value, int level) {
        switch (value.Tag()) {
            case TValueTag::kNull:
                m_out += "Null";
                return true;
            case TValueTag::kNil:
                m_out += "nil";
                return true;
            case TValueTag::kFalse:
                m_out += "False";
                return true;
            case TValueTag::kTrue:
                m_out += "True";
                return true;
            case TValueTag::kIdent:
                Ident(value.Bytes());
                return true;
            case TValueTag::kBinary:
                Binary(value.Bytes(), level);
                return true;
            case TValueTag::kSet:
                return Set(value.SetNames());
            case TValueTag::kList:
                return List(value.ListItems(), level);
            case TValueTag::kCollection:
                return Collection(value.CollectionItems(), level);
            default:
                return Fail("unexpected value tag");
        }
    }

    void Binary(const std::string& bytes, int level) {
        m_out += '{';
        const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
        for (size_t start = 0; start < bytes.size(); start += kBinaryBytesPerLine) {
            m_out += '\n';
            Indent(level + 1);
            m_out += Hex(data + start, std::min(kBinaryBytesPerLine, bytes.size() - start));
        }
        m_out += '}';
    }

    bool Set(const std::vector<std::string>& names) {
        m_out += '[';
        for (size_t i = 0; i < names.size(); ++i) {
            if (!IsIdentifier(names[i]))
                return Fail("set member '" + names[i] + "' is not an identifier");
            if (i > 0) m_out += ", ";
            m_out += names[i];
        }
        m_out += ']';
        return true;
    }

    bool List(const std::vector<TFormValue>& items, int level) {
        m_out += '(';
        for (const TFormValue& item : items) {
            m_out += '\n';
            Indent(level + 1);
            if (!Value(item, level + 1)) return false;
        }
        m_out += ')';
        return true;
    }

    bool Collection(const std::vector<TCollectionItem>& items, int level) {
        m_out += '<';
        for (const TCollectionItem& item : items) {
            m_out += '\n';
            Indent(level + 1);
            m_out += kItemKeyword;
            if (item.index && !Bracketed(*item.index)) return false;
            m_out += '\n';
            for (const TFormProperty& property : item.properties.Items()) {
                if (!Property(property, level + 2)) return false;
            }
            Indent(level + 1);
            m_out += kEndKeyword;
        }
        m_out += '>';
        return true;
    }

    std::string m_out;
    std::string m_error;
};

}  // namespace

TResult<std::string> FormToText(const TFormObject& root) {
    TTextWriter writer;
    if (!writer.Object(root, 0)) {
        return TResult<std::string>::Failure("cannot write as text: " + writer.Error());
    }
    return writer.Take();
}

}  // namespace korvane::racks
