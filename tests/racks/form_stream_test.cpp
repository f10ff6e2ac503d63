#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "racks/form_stream_reader.h"
#include "racks/form_stream_writer.h"
#include "racks/property_list.h"
#include "racks/rack_file.h"
#include "test_streams.h"

namespace korvane::racks {
namespace {

using test::Bytes;
using test::EncodedValue;
using test::RootWith;
using test::ShortString;

struct TValueCase {
    const char* name;
    TFormValue value;
    std::string bytes;  // tag and payload
};

TCollectionItem Item(std::optional<TFormValue> index, const char* name, int64_t value) {
    TCollectionItem item{std::move(index), {}};
    item.properties.SetInteger(name, value);
    return item;
}

std::vector<TValueCase> EveryTag() {
    const TExtendedBytes oneAndHalf = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F};
    return {
        {"Null", TFormValue::Null(), Bytes({0})},
        {"List", TFormValue::List({TFormValue::Integer(1), TFormValue::Boolean(true)}),
         Bytes({1, 2, 1, 9, 0})},
        {"Int8", TFormValue::Integer(-2), Bytes({2, 0xFE})},
        {"Int16", TFormValue::Integer(-300), Bytes({3, 0xD4, 0xFE})},
        {"Int32", TFormValue::Integer(70000), Bytes({4, 0x70, 0x11, 0x01, 0x00})},
        {"Int32Wide", TFormValue::Integer(1, TValueTag::kInt32), Bytes({4, 1, 0, 0, 0})},
        {"Extended", TFormValue::Extended(oneAndHalf),
         Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F})},
        {"String", TFormValue::Text("ab"), Bytes({6, 2, 'a', 'b'})},
        {"Ident", TFormValue::Ident("clRed"), Bytes({7, 5}) + "clRed"},
        {"False", TFormValue::Boolean(false), Bytes({8})},
        {"True", TFormValue::Boolean(true), Bytes({9})},
        {"Binary", TFormValue::Binary(Bytes({0, 0xFF})), Bytes({10, 2, 0, 0, 0, 0, 0xFF})},
        {"Set", TFormValue::Set({"a", "bc"}), Bytes({11, 1, 'a', 2, 'b', 'c', 0})},
        {"LString", TFormValue::Text("x", TValueTag::kLString), Bytes({12, 1, 0, 0, 0, 'x'})},
        {"Nil", TFormValue::Nil(), Bytes({13})},
        {"Collection",
         TFormValue::Collection({Item(std::nullopt, "A", 1), Item(TFormValue::Integer(7), "B", 2)}),
         Bytes({14, 1, 1, 'A', 2, 1, 0, 2, 7, 1, 1, 'B', 2, 2, 0, 0})},
        {"Single", TFormValue::Single(1.5f), Bytes({15, 0, 0, 0xC0, 0x3F})},
        {"Currency", TFormValue::Currency(15000), Bytes({16, 0x98, 0x3A, 0, 0, 0, 0, 0, 0})},
        {"Date", TFormValue::Date(1.5), Bytes({17, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F})},
        {"WString", TFormValue::WideText(u"\u20ACa"), Bytes({18, 2, 0, 0, 0, 0xAC, 0x20, 'a', 0})},
        {"Int64", TFormValue::Integer(std::numeric_limits<int64_t>::min()),
         Bytes({19, 0, 0, 0, 0, 0, 0, 0, 0x80})},
        {"Utf8String", TFormValue::Text("\xC3\xA9", TValueTag::kUtf8String),
         Bytes({20, 2, 0, 0, 0, 0xC3, 0xA9})},
    };
}

TEST(FormStream, EveryTagHasItsByteLayoutAndReadsBack) {
    for (const TValueCase& c : EveryTag()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EncodedValue(c.value), c.bytes);
        TResult<std::string> stream = WriteFormStream(RootWith(c.value));
        ASSERT_TRUE(stream.Ok()) << stream.Error();
        TResult<TFormStreamRead> read = ReadFormStream(AsBytes(stream.Value()));
        ASSERT_TRUE(read.Ok()) << read.Error();
        EXPECT_EQ(read.Value().length, stream.Value().size());
        ASSERT_NE(read.Value().root.properties.Find("P"), nullptr);
        EXPECT_EQ(*read.Value().root.properties.Find("P"), c.value);
    }
}

TEST(FormStream, ObjectRecordLayoutWithChildrenAndPrefixes) {
    TFormObject root{.className = "TA", .objectName = "a"};
    TFormObject inherited{.prefix = TObjectPrefix{TObjectPrefix::kInherited, std::nullopt},
                          .className = "TB",
                          .objectName = "b"};
    TFormObject positioned{.prefix = TObjectPrefix{0, TFormValue::Integer(3, TValueTag::kInt16)},
                           .className = "TC",
                           .objectName = ""};
    root.children = {inherited, positioned};
    const std::string expected = "TPF0" + ShortString("TA") + ShortString("a") + Bytes({0}) +
                                 Bytes({0xF1}) + ShortString("TB") + ShortString("b") +
                                 Bytes({0, 0}) + Bytes({0xF2, 3, 3, 0}) + ShortString("TC") +
                                 Bytes({0}) + Bytes({0, 0}) + Bytes({0});
    TResult<std::string> stream = WriteFormStream(root);
    ASSERT_TRUE(stream.Ok()) << stream.Error();
    EXPECT_EQ(stream.Value(), expected);
    TResult<TFormStreamRead> read = ReadFormStream(AsBytes(expected));
    ASSERT_TRUE(read.Ok()) << read.Error();
    EXPECT_EQ(read.Value().root, root);
}

TEST(FormStream, StopsAtItsOwnEnd) {
    const std::string stream = WriteFormStream(test::SampleRack()).Value();
    const std::string withTail = stream + "trailing bytes";
    TResult<TFormStreamRead> read = ReadFormStream(AsBytes(withTail));
    ASSERT_TRUE(read.Ok()) << read.Error();
    EXPECT_EQ(read.Value().length, stream.size());
}

std::string Stream(const std::string& afterSignature) { return "TPF0" + afterSignature; }

std::string RootWithValueBytes(const std::string& valueBytes) {
    return Stream(ShortString("TX") + ShortString("x") + ShortString("P") + valueBytes +
                  Bytes({0, 0}));
}

TEST(FormStream, MalformedStreamsFailWithAClearMessage) {
    const struct {
        const char* name;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"signature", "TPF1" + ShortString("TX"),
         "bad form stream: not a form stream: no TPF0 signature"},
        {"unknown tag", RootWithValueBytes(Bytes({21})),
         "bad form stream: unknown value tag 21 at offset 11"},
        {"4 GB string", RootWithValueBytes(Bytes({12, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 'b'})),
         "bad form stream: truncated at offset 16: 4294967295 bytes needed, 4 left"},
        {"4 GB wide string", RootWithValueBytes(Bytes({18, 0xFF, 0xFF, 0xFF, 0xFF})),
         "bad form stream: truncated at offset 16: 8589934590 bytes needed, 2 left"},
        {"4 GB raw bytes", RootWithValueBytes(Bytes({10, 0, 0, 0, 0x80})),
         "bad form stream: truncated at offset 16: 2147483648 bytes needed, 2 left"},
        {"no class name", Stream(Bytes({0, 1, 'x', 0, 0})),
         "bad form stream: object record without a class name at offset 4"},
        {"child position not integer", Stream(Bytes({0xF2, 6, 0}) + ShortString("TX")),
         "bad form stream: child position at offset 5 is not an integer"},
        {"collection item without list", RootWithValueBytes(Bytes({14, 2, 5, 9, 0})),
         "bad form stream: collection item at offset 14 does not open with a list tag"},
        {"collection index not integer", RootWithValueBytes(Bytes({14, 6, 0, 1, 0, 0})),
         "bad form stream: collection item index at offset 12 is not an integer"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TResult<TFormStreamRead> read = ReadFormStream(AsBytes(c.bytes));
        ASSERT_FALSE(read.Ok());
        EXPECT_EQ(read.Error(), c.message);
    }
}

TEST(FormStream, TruncationAtEveryOffsetFailsCleanly) {
    TFormObject root = test::SampleRack();
    for (const TValueCase& c : EveryTag()) root.properties.Set(c.name, c.value);
    const std::string stream = WriteFormStream(root).Value();
    for (size_t length = 0; length < stream.size(); ++length) {
        const std::string cut = stream.substr(0, length);
        TResult<TFormStreamRead> read = ReadFormStream(AsBytes(cut));
        ASSERT_FALSE(read.Ok()) << "length " << length;
        EXPECT_NE(read.Error().find("truncated at offset"), std::string::npos) << read.Error();
    }
}

TEST(FormStream, NestingIsBounded) {
    std::string deepList = RootWithValueBytes(std::string(100000, '\x01'));
    TResult<TFormStreamRead> list = ReadFormStream(AsBytes(deepList));
    ASSERT_FALSE(list.Ok());
    EXPECT_EQ(list.Error(), "bad form stream: nested deeper than 64 levels at offset 75");

    // A collection item index is a value too, so it may hold a collection whose index does.
    std::string deepIndex = RootWithValueBytes(std::string(100000, '\x0E'));
    TResult<TFormStreamRead> index = ReadFormStream(AsBytes(deepIndex));
    ASSERT_FALSE(index.Ok());
    EXPECT_NE(index.Error().find("nested deeper than 64 levels"), std::string::npos)
        << index.Error();

    std::string deepObjects = "TPF0";
    for (int i = 0; i < 10000; ++i) deepObjects += ShortString("TX") + ShortString("") + Bytes({0});
    TResult<TFormStreamRead> objects = ReadFormStream(AsBytes(deepObjects));
    ASSERT_FALSE(objects.Ok());
    EXPECT_NE(objects.Error().find("nested deeper than 64 levels"), std::string::npos);

    std::string limit = "TPF0";
    for (int i = 0; i < kMaxNesting; ++i) limit += ShortString("TX") + ShortString("") + Bytes({0});
    limit += std::string(kMaxNesting, '\0');
    EXPECT_TRUE(ReadFormStream(AsBytes(limit)).Ok());
}

// One-byte values cost far more in memory than in the file; their number is bounded.
TEST(FormStream, ValueCountIsBounded) {
    const auto listOf = [](size_t count, char tag) {
        return RootWithValueBytes("\x01" + std::string(count, tag) + std::string(1, '\0'));
    };
    // The root object, its one property's list and the list's items.
    EXPECT_TRUE(ReadFormStream(AsBytes(listOf(kMaxFormItems - 2, '\x08'))).Ok());
    TResult<TFormStreamRead> tooMany = ReadFormStream(AsBytes(listOf(kMaxFormItems - 1, '\x08')));
    ASSERT_FALSE(tooMany.Ok());
    EXPECT_EQ(tooMany.Error(), "bad form stream: more than 250000 objects and values");

    std::string set = "\x0B";
    for (size_t i = 0; i < kMaxFormItems; ++i) set += ShortString("a");
    EXPECT_FALSE(ReadFormStream(AsBytes(RootWithValueBytes(set + std::string(1, '\0')))).Ok());
}

TEST(FormStream, WriterRefusesWhatTheFormatCannotHold) {
    TFormObject longClass{.className = std::string(240, 'T')};
    TFormObject emptyClass{};
    const struct {
        const char* name;
        TFormObject root;
        std::string message;
    } cases[] = {
        {"short string over 255",
         RootWith(TFormValue::Text(std::string(256, 'a'), TValueTag::kString)),
         "cannot write form stream: short string aaaaaaaaaaaaaaaaaaaa... is longer than 255 bytes"},
        {"integer wider than its tag", RootWith(TFormValue::Integer(200, TValueTag::kInt8)),
         "cannot write form stream: integer 200 does not fit its tag"},
        {"null in list", RootWith(TFormValue::List({TFormValue::Null()})),
         "cannot write form stream: a list holds a Null value"},
        {"empty set member", RootWith(TFormValue::Set({""})),
         "cannot write form stream: a set has an empty member"},
        {"prefix-like class name", longClass,
         "cannot write form stream: class name TTTTTTTTTTTTTTTTTTTT... is too long for an object "
         "record "
         "without a prefix"},
        {"no class name", emptyClass, "cannot write form stream: an object has no class name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TResult<std::string> stream = WriteFormStream(c.root);
        ASSERT_FALSE(stream.Ok());
        EXPECT_EQ(stream.Error(), c.message);
    }
    TFormObject prefixed = longClass;
    prefixed.prefix = TObjectPrefix{};
    EXPECT_TRUE(WriteFormStream(prefixed).Ok()) << "a prefix makes a long class name readable";
}

// Every short string of the format holds up to 255 bytes: 255 writes and reads back, 256 is
// refused with the name of what was too long.
TEST(FormStream, ShortStringsHoldExactly255Bytes) {
    const auto withProperty = [](const std::string& name) {
        TFormObject root{.className = "TX", .objectName = "x"};
        root.properties.Set(name, TFormValue::Integer(1));
        return root;
    };
    const struct {
        const char* what;
        std::function<TFormObject(const std::string&)> root;
    } cases[] = {
        {"class name",
         [](const std::string& s) {
             return TFormObject{.prefix = TObjectPrefix{}, .className = s, .objectName = "x"};
         }},
        {"object name",
         [](const std::string& s) { return TFormObject{.className = "TX", .objectName = s}; }},
        {"object name",
         [](const std::string& s) {
             TFormObject root{.className = "TX", .objectName = "x"};
             root.children.push_back(TFormObject{.className = "TC", .objectName = s});
             return root;
         }},
        {"property name", withProperty},
        {"short string",
         [](const std::string& s) { return RootWith(TFormValue::Text(s, TValueTag::kString)); }},
        {"identifier", [](const std::string& s) { return RootWith(TFormValue::Ident(s)); }},
        {"set member", [](const std::string& s) { return RootWith(TFormValue::Set({"a", s})); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TFormObject fits = c.root(std::string(255, 'n'));
        TResult<std::string> stream = WriteFormStream(fits);
        ASSERT_TRUE(stream.Ok()) << stream.Error();
        TResult<TFormStreamRead> read = ReadFormStream(AsBytes(stream.Value()));
        ASSERT_TRUE(read.Ok()) << read.Error();
        EXPECT_EQ(read.Value().root, fits);
        TResult<std::string> refused = WriteFormStream(c.root(std::string(256, 'n')));
        ASSERT_FALSE(refused.Ok());
        EXPECT_EQ(refused.Error(), "cannot write form stream: " + std::string(c.what) +
                                       " nnnnnnnnnnnnnnnnnnnn... is longer than 255 bytes");
    }
    // Without a prefix byte a class name's length byte must stay below 0xF0.
    EXPECT_TRUE(WriteFormStream(TFormObject{.className = std::string(239, 'T')}).Ok());
    EXPECT_FALSE(WriteFormStream(TFormObject{.className = std::string(240, 'T')}).Ok());
    // A text value takes the short form while it fits.
    EXPECT_EQ(TFormValue::Text(std::string(255, 'a')).Tag(), TValueTag::kString);
    EXPECT_EQ(TFormValue::Text(std::string(256, 'a')).Tag(), TValueTag::kLString);
}

}  // namespace
}  // namespace korvane::racks
