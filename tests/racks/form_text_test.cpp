#include "racks/form_text.h"

#include <gtest/gtest.h>

#include <bit>
#include <limits>

#include "racks/form_stream_reader.h"
#include "racks/form_stream_writer.h"
#include "test_streams.h"

namespace korvane::racks {
namespace {

using test::RootWith;

std::string StreamOf(const TFormObject& root) {
    TResult<std::string> stream = WriteFormStream(root);
    EXPECT_TRUE(stream.Ok()) << stream.Error();
    return stream ? stream.Value() : std::string();
}

std::string Repeat(std::string_view piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += piece;
    return out;
}

// The text of one property value, as written inside "object x: TX".
std::string ValueText(const TFormValue& value) {
    TResult<std::string> text = FormToText(RootWith(value));
    EXPECT_TRUE(text.Ok()) << text.Error();
    if (!text) return {};
    const std::string& all = text.Value();
    const size_t start = all.find("P = ") + 4;
    return all.substr(start, all.rfind("\nend\n") - start);
}

TEST(FormText, SampleFilesReadAndWriteBackUnchanged) {
    for (const char* name : {"sample_rack.txt", "terminal.txt"}) {
        SCOPED_TRACE(name);
        const std::string text = test::ReadTestFile(name);
        TResult<TFormObject> root = FormFromText(text);
        ASSERT_TRUE(root.Ok()) << root.Error();
        TResult<std::string> written = FormToText(root.Value());
        ASSERT_TRUE(written.Ok()) << written.Error();
        EXPECT_EQ(written.Value(), text);
    }
}

TEST(FormText, EveryValueSurvivesTextToStreamAndBack) {
    TResult<TFormObject> root = FormFromText(test::ReadTestFile("every_value.txt"));
    ASSERT_TRUE(root.Ok()) << root.Error();
    const std::string stream = StreamOf(root.Value());
    TResult<std::string> text = FormToText(root.Value());
    ASSERT_TRUE(text.Ok()) << text.Error();
    TResult<TFormObject> again = FormFromText(text.Value());
    ASSERT_TRUE(again.Ok()) << again.Error();
    EXPECT_EQ(StreamOf(again.Value()), stream);
    EXPECT_NE(text.Value().find("Joined = 'first second'\n"), std::string::npos)
        << "'+' joins strings";
}

TEST(FormText, ValuesAreWrittenInFormDesignerNotation) {
    TExtendedBytes pseudoDenormal = {0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0};
    const struct {
        TFormValue value;
        std::string text;
    } cases[] = {
        {TFormValue::Integer(5), "5"},
        {TFormValue::Integer(-70000), "-70000"},
        {TFormValue::Integer(5, TValueTag::kInt32), "Int32(5)"},
        {TFormValue::Integer(300, TValueTag::kInt64), "Int64(300)"},
        {TFormValue::Text(""), "''"},
        {TFormValue::Text("It's\r\n\xE9!"), "'It''s'#13#10#233'!'"},
        {TFormValue::Text(std::string(300, 'a')), "'" + std::string(300, 'a') + "'"},
        {TFormValue::Text("a", TValueTag::kLString), "LongString('a')"},
        {TFormValue::Text("\xC3\xA9", TValueTag::kUtf8String), "Utf8String(#195#169)"},
        {TFormValue::WideText(u"a\u20AC"), "WideString('a'#8364)"},
        {TFormValue::Ident("clBlack"), "clBlack"},
        {TFormValue::Ident("true"), "Ident('true')"},
        {TFormValue::Ident("two words"), "Ident('two words')"},
        {TFormValue::Extended(1.0L), "1.0"},
        {TFormValue::Extended(-0.0L), "-0.0"},
        {TFormValue::Extended(1e20L), "1E20"},
        {TFormValue::Extended(1.5e-7L), "1.5E-7"},
        {TFormValue::Extended(std::numeric_limits<long double>::infinity()),
         "Extended({0000000000000080FF7F})"},
        {TFormValue::Extended(pseudoDenormal), "Extended({00000000000000800000})"},
        {TFormValue::Single(0.1f), "0.1s"},
        {TFormValue::SingleBits(0x7FC00001), "Single({0100C07F})"},
        {TFormValue::Date(45000.25), "45000.25d"},
        {TFormValue::Date(-std::numeric_limits<double>::infinity()), "Date({000000000000F0FF})"},
        {TFormValue::Currency(-5), "-0.0005c"},
        {TFormValue::Currency(std::numeric_limits<int64_t>::min()), "-922337203685477.5808c"},
        {TFormValue::Currency(20000), "2c"},
        {TFormValue::Set({}), "[]"},
        {TFormValue::Set({"a", "b"}), "[a, b]"},
        {TFormValue::Binary(""), "{}"},
        {TFormValue::Binary(std::string(33, '\x1F')), "{\n    " + Repeat("1F", 32) + "\n    1F}"},
        {TFormValue::List({}), "()"},
        {TFormValue::List({TFormValue::Text("one"), TFormValue::List({TFormValue::Nil()})}),
         "(\n    'one'\n    (\n      nil))"},
        {TFormValue::Collection({}), "<>"},
        {TFormValue::Collection({TCollectionItem{TFormValue::Integer(2), {}}}),
         "<\n    item [2]\n    end>"},
    };
    for (const auto& c : cases) {
        const std::string text = ValueText(c.value);
        EXPECT_EQ(text, c.text);
        TResult<TFormObject> back = FormFromText("object x: TX\n  P = " + text + "\nend\n");
        ASSERT_TRUE(back.Ok()) << c.text << ": " << back.Error();
        EXPECT_EQ(StreamOf(back.Value()), StreamOf(RootWith(c.value))) << c.text;
    }
}

TEST(FormText, ObjectHeadersCarryPrefixesAndChildPositions) {
    const struct {
        std::optional<TObjectPrefix> prefix;
        std::string header;
    } cases[] = {
        {std::nullopt, "object x: TX"},
        {TObjectPrefix{0, TFormValue::Integer(3)}, "object x: TX [3]"},
        {TObjectPrefix{TObjectPrefix::kInherited, std::nullopt}, "inherited x: TX"},
        {TObjectPrefix{TObjectPrefix::kInline, TFormValue::Integer(1, TValueTag::kInt16)},
         "inline x: TX [Int16(1)]"},
        {TObjectPrefix{0, std::nullopt}, "object(240) x: TX"},
        {TObjectPrefix{TObjectPrefix::kInherited | TObjectPrefix::kInline, TFormValue::Integer(0)},
         "object(247) x: TX [0]"},
        {TObjectPrefix{0x08, std::nullopt}, "object(248) x: TX"},
    };
    for (const auto& c : cases) {
        TFormObject root{.prefix = c.prefix, .className = "TX", .objectName = "x"};
        TResult<std::string> text = FormToText(root);
        ASSERT_TRUE(text.Ok()) << text.Error();
        EXPECT_EQ(text.Value(), c.header + "\nend\n");
        TResult<TFormObject> back = FormFromText(text.Value());
        ASSERT_TRUE(back.Ok()) << back.Error();
        EXPECT_EQ(back.Value(), root) << c.header;
    }
    TResult<TFormObject> unnamed = FormFromText("OBJECT TX\nEnd");
    ASSERT_TRUE(unnamed.Ok()) << unnamed.Error();
    EXPECT_EQ(unnamed.Value().objectName, "");
    EXPECT_EQ(unnamed.Value().className, "TX");
}

TEST(FormText, ReadingAcceptsTheNotationsOtherToolsWrite) {
    TResult<TFormObject> root = FormFromText(
        "object x: TX\r\n  Caption = 'a' +\r\n 'b'#13\r\n  Euro = 'x'#8364\r\n  On = TRUE\r\n"
        "  Items = ('p' 'q')\r\n  Hex = { 0a0B\r\n  FF }\r\nend");
    ASSERT_TRUE(root.Ok()) << root.Error();
    const TPropertyList& p = root.Value().properties;
    EXPECT_EQ(*p.Find("Caption"), TFormValue::Text("ab\r"));
    EXPECT_EQ(*p.Find("Euro"), TFormValue::WideText(u"x\u20AC"));
    EXPECT_EQ(*p.Find("On"), TFormValue::Boolean(true));
    EXPECT_EQ(p.Find("Items")->ListItems().size(), 2u);
    EXPECT_EQ(*p.Find("Hex"), TFormValue::Binary("\x0A\x0B\xFF"));
}

// Hex integers take the same tag as the decimal integer of the same value.
TEST(FormText, HexIntegersReadLikeTheirDecimalValue) {
    const struct {
        std::string hex;
        std::string decimal;
        TFormValue value;
    } cases[] = {
        {"$00FF8000", "16744448", TFormValue::Integer(16744448, TValueTag::kInt32)},
        {"$7FFF", "32767", TFormValue::Integer(32767, TValueTag::kInt16)},
        {"$7f", "127", TFormValue::Integer(127, TValueTag::kInt8)},
        {"$80", "128", TFormValue::Integer(128, TValueTag::kInt16)},
        {"$0", "0", TFormValue::Integer(0, TValueTag::kInt8)},
        {"$FFFFFFFF", "4294967295", TFormValue::Integer(4294967295, TValueTag::kInt64)},
        {"$FFFFFFFFFFFFFFFF", "-1", TFormValue::Integer(-1, TValueTag::kInt8)},
        {"$8000000000000000", "-9223372036854775808",
         TFormValue::Integer(std::numeric_limits<int64_t>::min(), TValueTag::kInt64)},
        {"Int32($10)", "Int32(16)", TFormValue::Integer(16, TValueTag::kInt32)},
    };
    for (const auto& c : cases) {
        for (const std::string& text : {c.hex, c.decimal}) {
            TResult<TFormObject> root = FormFromText("object x: TX\n  P = " + text + "\nend");
            ASSERT_TRUE(root.Ok()) << text << ": " << root.Error();
            EXPECT_EQ(*root.Value().properties.Find("P"), c.value) << text;
        }
    }
    TResult<TFormObject> header = FormFromText("object x: TX [$0A]\nend");
    ASSERT_TRUE(header.Ok()) << header.Error();
    EXPECT_EQ(header.Value().prefix->childPosition, TFormValue::Integer(10));
}

TEST(FormText, BrokenTextFailsWithLineAndReason) {
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "bad text form: line 1: expected 'object'"},
        {"object x: TX\n  Left 5\nend", "bad text form: line 2: expected '=' after property Left"},
        {"object x: TX\n  Left = 5\n", "bad text form: line 3: expected 'end' of object x"},
        {"object x: TX\nend\nend", "bad text form: line 3: text after the last 'end'"},
        {"object x: TX\n  C = 'open\nend", "bad text form: line 2: string not closed on its line"},
        {"object x: TX\n  C = #70000\nend", "bad text form: line 2: character code above 65535"},
        {"object x: TX\n  C = Utf8String(#300)\nend",
         "bad text form: line 2: a character code above 255 in a byte string"},
        {"object x: TX\n  N = Int8(300)\nend", "bad text form: line 2: 300 does not fit Int8"},
        {"object x: TX\n  N = 99999999999999999999\nend",
         "bad text form: line 2: bad integer 99999999999999999999"},
        {"object x: TX\n  N = 1.5c5\nend", "bad text form: line 3: expected '=' after property c5"},
        {"object x: TX\n  N = 1.23456c\nend", "bad text form: line 2: bad number 1.23456c"},
        {"object x: TX\n  D = {ABC}\nend",
         "bad text form: line 2: raw bytes hold something other than hex digit pairs"},
        {"object x: TX\n  D = {AB\n", "bad text form: line 3: raw bytes not closed with '}'"},
        {"object x: TX\n  F = Single({0000})\nend",
         "bad text form: line 2: wrong number of bytes for Single"},
        {"object x: TX\n  S = [a b]\nend",
         "bad text form: line 2: expected ',' between set members"},
        {"object x: TX\n  L = (1\nend", "bad text form: line 3: text ends where a value belongs"},
        {"object x: TX\n  C = <item x = 1>\nend",
         "bad text form: line 2: expected a property name"},
        {"object x: TX\n  C = <thing>\nend", "bad text form: line 2: expected 'item' or '>'"},
        {"object(5) x: TX\nend", "bad text form: line 1: prefix byte must lie between 240 and 255"},
        {"object(242) x: TX\nend",
         "bad text form: line 1: prefix byte and child position disagree"},
        {"object x: TX [a]\nend", "bad text form: line 1: expected an integer"},
        {"object x: TX\n  P = %\nend", "bad text form: line 2: unexpected character '%'"},
        {"object x: TX\n  P = $\nend", "bad text form: line 2: unexpected character '$'"},
        {"object x: TX\n  P = $10000000000000000\nend",
         "bad text form: line 2: bad integer $10000000000000000"},
        {"object x: 5\nend", "bad text form: line 1: expected a class name after ':'"},
    };
    for (const auto& c : cases) {
        TResult<TFormObject> root = FormFromText(c.text);
        ASSERT_FALSE(root.Ok()) << c.text;
        EXPECT_EQ(root.Error(), c.message) << c.text;
    }
}

TEST(FormText, NestingIsBounded) {
    TResult<TFormObject> lists =
        FormFromText("object x: TX\n  P = " + std::string(100000, '(') + "\nend");
    ASSERT_FALSE(lists.Ok());
    EXPECT_EQ(lists.Error(), "bad text form: line 2: nested deeper than 64 levels");
    std::string objects;
    for (int i = 0; i < 10000; ++i) objects += "object TX\n";
    EXPECT_FALSE(FormFromText(objects).Ok());
}

TEST(FormText, ValueCountIsBounded) {
    std::string items;
    for (size_t i = 0; i < kMaxFormItems; ++i) items += "0 ";
    TResult<TFormObject> tooMany = FormFromText("object x: TX\n  P = (" + items + ")\nend");
    ASSERT_FALSE(tooMany.Ok());
    EXPECT_EQ(tooMany.Error(), "bad text form: line 2: more than 250000 objects and values");
}

TEST(FormText, NamesTheNotationCannotCarryAreRefused) {
    TFormObject badClass{.className = "T X"};
    TFormObject badName{.className = "TX", .objectName = "1x"};
    TFormObject keywordProperty{.className = "TX",
                                .objectName = "x",
                                .properties = TPropertyList({{"End", TFormValue::Integer(1)}})};
    const struct {
        TFormObject root;
        std::string message;
    } cases[] = {
        {badClass, "cannot write as text: class name 'T X' is not an identifier"},
        {badName, "cannot write as text: object name '1x' is not an identifier"},
        {keywordProperty, "cannot write as text: property name 'End' cannot be written as text"},
        {RootWith(TFormValue::Set({"a b"})),
         "cannot write as text: set member 'a b' is not an identifier"},
    };
    for (const auto& c : cases) {
        TResult<std::string> text = FormToText(c.root);
        ASSERT_FALSE(text.Ok());
        EXPECT_EQ(text.Error(), c.message);
    }
}

// The text form has the stream's 255-byte limit only where the stream has no long form.
TEST(FormText, IdentifiersHoldUpTo255BytesAndTextsGrowLong) {
    const auto read = [](const std::string& value) {
        return FormFromText("object x: TX\n  P = " + value + "\nend\n");
    };
    const TResult<TFormObject> ident = read("Ident('" + std::string(255, 'i') + "')");
    ASSERT_TRUE(ident.Ok()) << ident.Error();
    EXPECT_EQ(*ident.Value().properties.Find("P"), TFormValue::Ident(std::string(255, 'i')));
    const TResult<TFormObject> longIdent = read("Ident('" + std::string(256, 'i') + "')");
    ASSERT_FALSE(longIdent.Ok());
    EXPECT_EQ(longIdent.Error(), "bad text form: line 2: identifier longer than 255 bytes");

    const TResult<TFormObject> shortText = read("'" + std::string(255, 's') + "'");
    ASSERT_TRUE(shortText.Ok()) << shortText.Error();
    EXPECT_EQ(shortText.Value().properties.Find("P")->Tag(), TValueTag::kString);
    const TResult<TFormObject> longText = read("'" + std::string(256, 's') + "'");
    ASSERT_TRUE(longText.Ok()) << longText.Error();
    EXPECT_EQ(longText.Value().properties.Find("P")->Tag(), TValueTag::kLString);
}

}  // namespace
}  // namespace korvane::racks
