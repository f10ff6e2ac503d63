// The rack files kept in the repository beside their text form must not drift from it.
#include <gtest/gtest.h>

#include "racks/rack_file.h"
#include "tests/racks_ui/rack_fixture.h"

namespace korvane::racks::testing {
namespace {

TEST(ShippedRacks, MatchTheirTextForm) {
    const std::pair<const char*, const char*> racks[] = {
        {KORVANE_DEMO_RACK_TEXT, KORVANE_DEMO_RACK},
        {KORVANE_PANEL_RACK_TEXT, KORVANE_PANEL_RACK},
    };
    for (const auto& [text, rack] : racks) {
        TResult<std::string> encoded = EncodeRack(FormFromTextOrDie(ReadBytes(text)));
        ASSERT_TRUE(encoded.Ok()) << text;
        EXPECT_EQ(encoded.Value(), ReadBytes(rack))
            << rack << " is out of date: korvane-rack tobin " << text << " " << rack;
    }
}

}  // namespace
}  // namespace korvane::racks::testing
