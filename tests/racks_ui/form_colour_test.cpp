#include "racks/ui/form_colour.h"

#include <gtest/gtest.h>

namespace korvane::racks {
namespace {

TEST(FormColour, NamesNumbersAndSystemColours) {
    struct TCase {
        TFormValue value;
        std::optional<TRgb> colour;
    };
    const TRgb none{0, 0, 0, true};
    const TCase cases[] = {
        {TFormValue::Ident("clBlack"), Rgb(0x000000)},
        {TFormValue::Ident("clLime"), Rgb(0x00FF00)},
        {TFormValue::Ident("clRed"), Rgb(0xFF0000)},
        {TFormValue::Ident("clBtnFace"), Rgb(0xD4D0C8)},
        {TFormValue::Ident("clWindowText"), Rgb(0x000000)},
        {TFormValue::Ident("clNone"), none},
        {TFormValue::Ident("clNoSuchColour"), std::nullopt},
        {TFormValue::Integer(0x0000FF), Rgb(0xFF0000)},  // stored blue-green-red
        {TFormValue::Integer(0x123456), Rgb(0x563412)},
        {TFormValue::Integer(-16777201), Rgb(0xD4D0C8)},  // 0xFF00000F, the button face
        {TFormValue::Integer(0x1FFFFFFF), none},
        {TFormValue::Integer(0x01000000), std::nullopt},
        {TFormValue::Integer(-16777191), std::nullopt},  // system colour 25 does not exist
        {TFormValue::Text("clRed"), std::nullopt},
    };
    for (const TCase& c : cases) EXPECT_EQ(ColourFromValue(c.value), c.colour);
}

}  // namespace
}  // namespace korvane::racks
