#include "workbench/payload_area.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "workbench/payload_layout.h"
#include "workbench/payload_reader.h"

namespace korvane::workbench {
namespace {

std::size_t CountOccurrences(std::string_view haystack, std::string_view needle) {
    std::size_t count = 0;
    for (std::size_t at = haystack.find(needle); at != std::string_view::npos;
         at = haystack.find(needle, at + 1)) {
        ++count;
    }
    return count;
}

TEST(PayloadArea, MarkersAreTheFixedTexts) {
    EXPECT_EQ(StartMarker(), std::string("CommThread") + "_init");
    EXPECT_EQ(EndMarker(), std::string("CommThread") + "_free");
    EXPECT_EQ(kPayloadAreaSize, 262174u);
}

// This test program links the area like the workbench does, so its own file must hold the
// start marker exactly once: in the area, and nowhere in code, data or debug information.
TEST(PayloadArea, BuiltBinaryHoldsTheStartMarkerOnce) {
    const TReadResult executable = ReadOwnExecutable();
    ASSERT_EQ(executable.status, TReadStatus::Ok) << executable.problem;
    EXPECT_EQ(CountOccurrences(executable.bytes, StartMarker()), 1u);
}

TEST(PayloadArea, BuiltBinaryCarriesAnUnpackagedArea) {
    const TReadResult executable = ReadOwnExecutable();
    ASSERT_EQ(executable.status, TReadStatus::Ok) << executable.problem;
    const auto space = FindPayloadSpace(executable.bytes);
    ASSERT_TRUE(space.has_value());
    ASSERT_GE(executable.bytes.size(), *space + kPayloadSpaceSize + kMarkerSize);
    const std::string_view bytes(executable.bytes);
    const std::string_view filler = bytes.substr(*space, kPayloadSpaceSize);
    EXPECT_TRUE(std::all_of(filler.begin(), filler.end(), [](char c) { return c == 'V'; }));
    EXPECT_EQ(bytes.substr(*space + kPayloadSpaceSize, kMarkerSize), EndMarker());

    const std::string ownSpace = ReadOwnPayloadSpace();
    EXPECT_EQ(ownSpace, filler);
    EXPECT_EQ(ReadPayload(ownSpace).status, TPayloadStatus::Absent);
}

TEST(PayloadArea, FindsTheFirstMarkerOnly) {
    const std::string marker = StartMarker();
    EXPECT_EQ(FindPayloadSpace("abc" + marker + "x" + marker), 3u + kMarkerSize);
    EXPECT_FALSE(FindPayloadSpace("abc" + marker.substr(0, 14)).has_value());
    EXPECT_FALSE(FindPayloadSpace("").has_value());
}

}  // namespace
}  // namespace korvane::workbench
