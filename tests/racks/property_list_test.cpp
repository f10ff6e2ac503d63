#include "racks/property_list.h"

#include <gtest/gtest.h>

namespace korvane::racks {
namespace {

template <typename T>
void ExpectFailure(const TPropertyRead<T>& read, TReadStatus status, const std::string& message) {
    EXPECT_FALSE(read.Ok());
    EXPECT_EQ(read.status, status);
    EXPECT_EQ(read.message, message);
}

TPropertyList Sample() {
    TPropertyList list;
    list.SetInteger("Left", 306);
    list.Set("Wide", TFormValue::Integer(-5, TValueTag::kInt64));
    list.SetFloat("Ratio", 2.5L);
    list.Set("Money", TFormValue::Currency(12345));
    list.SetText("Caption", "Open Drawer");
    list.SetBool("Visible", true);
    list.SetIdent("Color", "clBlack");
    list.SetSet("BorderIcons", {"biSystemMenu", "biMinimize"});
    list.SetBytes("Picture.Data", std::string("\x00\x01", 2));
    list.Set("Items.Strings",
             TFormValue::List({TFormValue::Text("one"), TFormValue::WideText(u"two")}));
    return list;
}

TEST(PropertyList, TypedReadsReturnValuesOrSayWhy) {
    const TPropertyList list = Sample();
    EXPECT_EQ(list.GetInteger("Left").value, 306);
    EXPECT_EQ(list.GetInteger("Wide").value, -5);
    EXPECT_EQ(list.GetFloat("Ratio").value, 2.5);
    EXPECT_EQ(list.GetFloat("Money").value, 1.2345);
    EXPECT_EQ(list.GetFloat("Left").value, 306.0);
    EXPECT_EQ(list.GetText("Caption").value, "Open Drawer");
    EXPECT_TRUE(list.GetBool("Visible").value);
    EXPECT_EQ(list.GetIdent("Color").value, "clBlack");
    EXPECT_EQ(list.GetSet("BorderIcons").value,
              (std::vector<std::string>{"biSystemMenu", "biMinimize"}));
    EXPECT_EQ(list.GetBytes("Picture.Data").value, std::string("\x00\x01", 2));
    EXPECT_EQ(list.GetTextList("Items.Strings").value, (std::vector<std::string>{"one", "two"}));

    ExpectFailure(list.GetInteger("Caption"), TReadStatus::kWrongKind,
                  "property Caption holds String, not an integer");
    ExpectFailure(list.GetText("Left"), TReadStatus::kWrongKind,
                  "property Left holds Int16, not a string");
    ExpectFailure(list.GetBool("Color"), TReadStatus::kWrongKind,
                  "property Color holds Ident, not a boolean");
    ExpectFailure(list.GetIdent("Visible"), TReadStatus::kWrongKind,
                  "property Visible holds True, not an identifier");
    ExpectFailure(list.GetFloat("Caption"), TReadStatus::kWrongKind,
                  "property Caption holds String, not a number");
    ExpectFailure(list.GetBytes("Caption"), TReadStatus::kWrongKind,
                  "property Caption holds String, not raw bytes");
    ExpectFailure(list.GetTextList("BorderIcons"), TReadStatus::kWrongKind,
                  "property BorderIcons holds Set, not a list of strings");
    ExpectFailure(list.GetSet("Top"), TReadStatus::kMissing, "property Top is missing");
    EXPECT_EQ(list.GetInteger("Top").ValueOr(155), 155);
    EXPECT_EQ(list.GetInteger("Left").ValueOr(155), 306);
}

TEST(PropertyList, SettersReplaceInPlaceAndAppendNewNames) {
    TPropertyList list = Sample();
    list.SetText("Left", "now text");
    list.SetInteger("Top", 155);
    std::vector<std::string> names;
    for (const TFormProperty& p : list.Items()) names.push_back(p.name);
    EXPECT_EQ(names, (std::vector<std::string>{"Left", "Wide", "Ratio", "Money", "Caption",
                                               "Visible", "Color", "BorderIcons", "Picture.Data",
                                               "Items.Strings", "Top"}));
    EXPECT_EQ(list.GetText("Left").value, "now text");
}

TEST(PropertyList, SettersChooseTheSmallestEncoding) {
    TPropertyList list;
    const struct {
        int64_t value;
        TValueTag tag;
    } integers[] = {{127, TValueTag::kInt8},         {-128, TValueTag::kInt8},
                    {128, TValueTag::kInt16},        {-32769, TValueTag::kInt32},
                    {2147483647, TValueTag::kInt32}, {2147483648, TValueTag::kInt64}};
    for (const auto& c : integers) {
        list.SetInteger("N", c.value);
        EXPECT_EQ(list.Find("N")->Tag(), c.tag) << c.value;
    }
    list.SetText("S", std::string(255, 'a'));
    EXPECT_EQ(list.Find("S")->Tag(), TValueTag::kString);
    list.SetText("S", std::string(256, 'a'));
    EXPECT_EQ(list.Find("S")->Tag(), TValueTag::kLString);
}

TEST(PropertyList, WideAndUtf8TextReadAsLatin1Bytes) {
    TPropertyList list;
    const struct {
        TFormValue value;
        std::string text;
    } cases[] = {
        {TFormValue::WideText(u"caf\u00E9 \u20AC"), "caf\xE9 ?"},
        {TFormValue::WideText(u"\U0001F600!"), "?!"},
        {TFormValue::Text("caf\xC3\xA9 \xE2\x82\xAC", TValueTag::kUtf8String), "caf\xE9 ?"},
        {TFormValue::Text("bad \xC3 \x80!", TValueTag::kUtf8String), "bad ? ?!"},
        {TFormValue::Text("\xE2\x82", TValueTag::kUtf8String), "??"},
        {TFormValue::Text("raw \xE9", TValueTag::kLString), "raw \xE9"},
    };
    for (const auto& c : cases) {
        list.Set("T", c.value);
        EXPECT_EQ(list.GetText("T").value, c.text);
    }
}

}  // namespace
}  // namespace korvane::racks
