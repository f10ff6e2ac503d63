#include "racks/form_stream_reader.h"

#include <string>
#include <utility>
#include <vector>

#include "racks/byte_reader.h"

namespace korvane::racks {
namespace {

constexpr std::string_view kSignature = "TPF0";
constexpr uint8_t kEndOfList = 0;

// A recursive-descent reader over one stream. Every step returns false on the first failure;
// the message stays in the byte reader.
class TStreamParser {
 public:
    explicit TStreamParser(TByteReader& in) : m_in(in) {}

    bool Signature() {
        std::string signature;
        if (!m_in.ReadBytes(kSignature.size(), signature)) return false;
        if (signature != kSignature) return m_in.Fail("not a form stream: no TPF0 signature");
        return true;
    }

    bool Object(TFormObject& out, int depth) {
        if (!Deeper(depth) || !Counted()) return false;
        const size_t start = m_in.FileOffset();
        uint8_t first = 0;
        if (!m_in.PeekU8(first)) return false;
        if ((first & TObjectPrefix::kMarker) == TObjectPrefix::kMarker && !Prefix(out, depth)) {
            return false;
        }
        if (!m_in.ReadShortString(out.className) || !m_in.ReadShortString(out.objectName)) {
            return false;
        }
        if (out.className.empty()) {
            return m_in.Fail("object record without a class name at offset " +
                             std::to_string(start));
        }
        std::vector<TFormProperty> properties;
        if (!Properties(properties, depth)) return false;
        out.properties = TPropertyList(std::move(properties));
        while (!AtEndOfList()) {
            if (m_in.Failed()) return false;
            out.children.emplace_back();
            if (!Object(out.children.back(), depth + 1)) return false;
        }
        return SkipEndOfList();
    }

 private:
    bool Counted() {
        return ++m_items <= kMaxFormItems || m_in.Fail(std::string(kTooManyItemsText));
    }

    bool Deeper(int depth) {
        if (depth < kMaxNesting) return true;
        return m_in.Fail("nested deeper than " + std::to_string(kMaxNesting) +
                         " levels at offset " + std::to_string(m_in.FileOffset()));
    }

    bool AtEndOfList() {
        uint8_t next = 0;
        return m_in.PeekU8(next) && next == kEndOfList;
    }

    bool SkipEndOfList() {
        uint8_t end = 0;
        return m_in.ReadU8(end);
    }

    bool Prefix(TFormObject& out, int depth) {
        uint8_t byte = 0;
        m_in.ReadU8(byte);
        TObjectPrefix prefix;
        prefix.flags = byte & 0x0F & ~TObjectPrefix::kChildPosition;
        if (byte & TObjectPrefix::kChildPosition) {
            prefix.childPosition.emplace();
            if (!Integer(*prefix.childPosition, "child position", depth)) return false;
        }
        out.prefix = std::move(prefix);
        return true;
    }

    bool Integer(TFormValue& out, std::string_view what, int depth) {
        const size_t start = m_in.FileOffset();
        if (!Value(out, depth)) return false;
        if (IsIntegerTag(out.Tag())) return true;
        return m_in.Fail(std::string(what) + " at offset " + std::to_string(start) +
                         " is not an integer");
    }

    bool Properties(std::vector<TFormProperty>& out, int depth) {
        while (!AtEndOfList()) {
            if (m_in.Failed()) return false;
            TFormProperty property;
            if (!m_in.ReadShortString(property.name) || !Value(property.value, depth)) {
                return false;
            }
            out.push_back(std::move(property));
        }
        return SkipEndOfList();
    }

    bool Value(TFormValue& out, int depth) {
        if (!Counted()) return false;
        const size_t start = m_in.FileOffset();
        uint8_t tag = 0;
        if (!m_in.ReadU8(tag)) return false;
        if (tag > kLastValueTag) {
            return m_in.Fail("unknown value tag " + std::to_string(tag) + " at offset " +
                             std::to_string(start));
        }
        return Payload(static_cast<TValueTag>(tag), out, depth);
    }

    bool Payload(TValueTag tag, TFormValue& out, int depth) {
        switch (tag) {
            case TValueTag::kNull:
                out = TFormValue::Null();
                return true;
            case TValueTag::kNil:
                out = TFormValue::Nil();
                return true;
            case TValueTag::kFalse:
                out = TFormValue::Boolean(false);
                return true;
            case TValueTag::kTrue:
                out = TFormValue::Boolean(true);
                return true;
            case TValueTag::kInt8:
                return SignedInteger<int8_t, uint8_t>(tag, out);
            case TValueTag::kInt16:
                return SignedInteger<int16_t, uint16_t>(tag, out);
            case TValueTag::kInt32:
                return SignedInteger<int32_t, uint32_t>(tag, out);
            case TValueTag::kInt64:
                return SignedInteger<int64_t, uint64_t>(tag, out);
            case TValueTag::kCurrency:
                return Currency(out);
            case TValueTag::kExtended:
                return Extended(out);
            case TValueTag::kSingle:
                return Single(out);
            case TValueTag::kDate:
                return Date(out);
            case TValueTag::kString:
            case TValueTag::kIdent:
                return ShortText(tag, out);
            case TValueTag::kLString:
            case TValueTag::kUtf8String:
            case TValueTag::kBinary:
                return LongBytes(tag, out);
            case TValueTag::kWString:
                return Wide(out);
            case TValueTag::kSet:
                return Set(out);
            case TValueTag::kList:
                return List(out, depth);
            case TValueTag::kCollection:
                return Collection(out, depth);
        }
        return false;
    }

    bool ReadUnsigned(uint8_t& out) { return m_in.ReadU8(out); }
    bool ReadUnsigned(uint16_t& out) { return m_in.ReadU16(out); }
    bool ReadUnsigned(uint32_t& out) { return m_in.ReadU32(out); }
    bool ReadUnsigned(uint64_t& out) { return m_in.ReadU64(out); }

    template <typename TSigned, typename TUnsigned>
    bool SignedInteger(TValueTag tag, TFormValue& out) {
        TUnsigned raw = 0;
        if (!ReadUnsigned(raw)) return false;
        out = TFormValue::Integer(static_cast<TSigned>(raw), tag);
        return true;
    }

    bool Currency(TFormValue& out) {
        uint64_t raw = 0;
        if (!m_in.ReadU64(raw)) return false;
        out = TFormValue::Currency(static_cast<int64_t>(raw));
        return true;
    }

    bool Extended(TFormValue& out) {
        std::string raw;
        TExtendedBytes bytes{};
        if (!m_in.ReadBytes(bytes.size(), raw)) return false;
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(raw[i]);
        out = TFormValue::Extended(bytes);
        return true;
    }

    bool Single(TFormValue& out) {
        uint32_t bits = 0;
        if (!m_in.ReadU32(bits)) return false;
        out = TFormValue::SingleBits(bits);
        return true;
    }

    bool Date(TFormValue& out) {
        uint64_t bits = 0;
        if (!m_in.ReadU64(bits)) return false;
        out = TFormValue::DateBits(bits);
        return true;
    }

    bool ShortText(TValueTag tag, TFormValue& out) {
        std::string text;
        if (!m_in.ReadShortString(text)) return false;
        out = tag == TValueTag::kIdent ? TFormValue::Ident(std::move(text))
                                       : TFormValue::Text(std::move(text), tag);
        return true;
    }

    bool LongBytes(TValueTag tag, TFormValue& out) {
        uint32_t length = 0;
        std::string bytes;
        if (!m_in.ReadU32(length) || !m_in.ReadBytes(length, bytes)) return false;
        out = tag == TValueTag::kBinary ? TFormValue::Binary(std::move(bytes))
                                        : TFormValue::Text(std::move(bytes), tag);
        return true;
    }

    bool Wide(TFormValue& out) {
        uint32_t count = 0;
        std::string bytes;
        if (!m_in.ReadU32(count) || !m_in.ReadBytes(size_t{count} * 2, bytes)) return false;
        std::u16string units(count, u'\0');
        for (size_t i = 0; i < count; ++i) {
            units[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                             (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
        }
        out = TFormValue::WideText(std::move(units));
        return true;
    }

    bool Set(TFormValue& out) {
        std::vector<std::string> names;
        while (true) {
            std::string name;
            if (!m_in.ReadShortString(name)) return false;
            if (name.empty()) break;
            if (!Counted()) return false;
            names.push_back(std::move(name));
        }
        out = TFormValue::Set(std::move(names));
        return true;
    }

    bool List(TFormValue& out, int depth) {
        if (!Deeper(depth + 1)) return false;
        std::vector<TFormValue> items;
        while (!AtEndOfList()) {
            if (m_in.Failed()) return false;
            items.emplace_back();
            if (!Value(items.back(), depth + 1)) return false;
        }
        out = TFormValue::List(std::move(items));
        return SkipEndOfList();
    }

    bool Collection(TFormValue& out, int depth) {
        if (!Deeper(depth + 1)) return false;
        std::vector<TCollectionItem> items;
        while (!AtEndOfList()) {
            if (m_in.Failed()) return false;
            items.emplace_back();
            if (!CollectionItem(items.back(), depth + 1)) return false;
        }
        out = TFormValue::Collection(std::move(items));
        return SkipEndOfList();
    }

    bool CollectionItem(TCollectionItem& out, int depth) {
        uint8_t next = 0;
        if (!m_in.PeekU8(next)) return false;
        if (next != static_cast<uint8_t>(TValueTag::kList)) {
            out.index.emplace();
            if (!Integer(*out.index, "collection item index", depth)) return false;
        }
        const size_t listStart = m_in.FileOffset();
        uint8_t open = 0;
        if (!m_in.ReadU8(open)) return false;
        if (open != static_cast<uint8_t>(TValueTag::kList)) {
            return m_in.Fail("collection item at offset " + std::to_string(listStart) +
                             " does not open with a list tag");
        }
        std::vector<TFormProperty> properties;
        if (!Properties(properties, depth)) return false;
        out.properties = TPropertyList(std::move(properties));
        return true;
    }

    TByteReader& m_in;
    size_t m_items = 0;
};

}  // namespace

TResult<TFormStreamRead> ReadFormStream(std::span<const uint8_t> bytes, size_t fileOffset) {
    TByteReader in(bytes, fileOffset);
    TStreamParser parser(in);
    TFormStreamRead read;
    if (!parser.Signature() || !parser.Object(read.root, 0)) {
        return TResult<TFormStreamRead>::Failure("bad form stream: " + in.Error());
    }
    read.length = in.Position();
    return read;
}

}  // namespace korvane::racks
