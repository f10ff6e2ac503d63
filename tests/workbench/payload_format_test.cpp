#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_executable.h"
#include "workbench/payload_layout.h"
#include "workbench/payload_reader.h"
#include "workbench/payload_writer.h"

namespace korvane::workbench {
namespace {

using namespace std::string_literals;

std::string Blanks(std::size_t count) { return std::string(count, ' '); }

TEST(PayloadWriter, WritesTheLayoutByteForByte) {
    TPayloadWriter writer;
    ASSERT_TRUE(writer.AddScript("a\0b"s));
    ASSERT_TRUE(writer.AddRack("terminal.res", "T\0P"s));
    ASSERT_TRUE(writer.AddRack("pds1.res", "xyz"));
    const std::string expected =
        "[names]Korvane[namee][versions]1.5[versione]"
        "[scripts]a\0b[scripte]"s +
        "[racks terminal.res" + Blanks(31) + "T\0P"s + "[racke]" + "[racks pds1.res" + Blanks(35) +
        "xyz[racke]" + "[embe]";
    const std::string payload = writer.Finish();
    EXPECT_EQ(payload, expected);
    // A record's data starts 50 bytes after its "[racks ".
    EXPECT_EQ(payload.substr(payload.find("[racks ") + 50, 3), "T\0P"s);
}

TEST(PayloadWriter, RefusesPartsAReaderCouldNotTakeApart) {
    const std::string name43(43, 'n');
    TPayloadWriter early;
    EXPECT_FALSE(early.AddRack("a.res", "x")) << "rack before the script";

    TPayloadWriter writer;
    EXPECT_FALSE(writer.AddScript("ab[scripte]cd")) << "closing tag inside the script";
    EXPECT_TRUE(writer.AddScript(""));
    EXPECT_FALSE(writer.AddScript("again")) << "second script";
    EXPECT_TRUE(writer.AddRack(name43, "x"));
    EXPECT_FALSE(writer.AddRack(name43 + "n", "x")) << "name longer than the field";
    EXPECT_FALSE(writer.AddRack("a.res", "x[racke]y")) << "closing tag inside the data";
    const std::size_t before = writer.Size();
    EXPECT_FALSE(writer.AddRack("a.res", "[racke]"));
    EXPECT_EQ(writer.Size(), before) << "a refused part adds nothing";
}

TEST(PayloadReader, RoundTripKeepsEveryByte) {
    std::string allBytes;
    for (int code = 0; code < 256; ++code) allBytes.push_back(static_cast<char>(code));
    const std::vector<TRackFile> racks = {
        {"terminal.res", "TPF0\0\1\2"s}, {"panel.res", allBytes}, {"empty.res", ""}};
    TPayloadWriter writer;
    ASSERT_TRUE(writer.AddScript(allBytes));
    for (const TRackFile& rack : racks) ASSERT_TRUE(writer.AddRack(rack.name, rack.bytes));
    std::string space = writer.Finish();
    space.resize(kPayloadSpaceSize, kFillerByte);

    const TPayloadReading reading = ReadPayload(space);
    ASSERT_EQ(reading.status, TPayloadStatus::Valid) << reading.problem;
    EXPECT_EQ(reading.payload.productName, "Korvane");
    EXPECT_EQ(reading.payload.version, "1.5");
    EXPECT_EQ(reading.payload.scrambledScript, allBytes);
    ASSERT_EQ(reading.payload.racks.size(), racks.size());
    for (std::size_t i = 0; i < racks.size(); ++i) {
        EXPECT_EQ(reading.payload.racks[i].name, racks[i].name);
        EXPECT_EQ(reading.payload.racks[i].bytes, racks[i].bytes);
    }
}

const std::string kHeader = "[names]Korvane[namee][versions]1.5[versione]";
const std::string kScript = "[scripts]abc[scripte]";

std::string Record(std::string_view nameField, std::string_view bytes) {
    std::string field(nameField);
    field.resize(43, ' ');
    return "[racks " + field + std::string(bytes) + "[racke]";
}

TEST(PayloadReader, RefusesHostilePayloads) {
    const std::string good = Record("terminal.res", "t");
    const std::string noName = "rack record without a usable file name";
    struct TCase {
        const char* what;
        std::string space;
        TPayloadStatus status;
        std::string problem;
    };
    const std::vector<TCase> cases = {
        {"empty", "", TPayloadStatus::Absent, ""},
        {"filler only", std::string(1000, 'V'), TPayloadStatus::Absent, ""},
        {"product name alone", "VVKorvaneVV", TPayloadStatus::Malformed,
         "product name section missing"},
        {"header not at the start", "V" + kHeader + kScript + good + "[embe]",
         TPayloadStatus::Malformed, "product name section missing"},
        {"other product", "[names]Other[namee][versions]1.5[versione]Korvane",
         TPayloadStatus::Malformed, "payload of another product"},
        {"name not closed", "[names]Korvane[versions]1.5", TPayloadStatus::Malformed,
         "product name section missing"},
        {"version missing", "[names]Korvane[namee]" + kScript + good + "[embe]",
         TPayloadStatus::Malformed, "version section missing"},
        {"script not closed", kHeader + "[scripts]abc" + good + "[embe]",
         TPayloadStatus::Malformed, "script section missing"},
        {"script before header", kScript + kHeader + good + "[embe]", TPayloadStatus::Malformed,
         "product name section missing"},
        {"no rack records", kHeader + kScript + "[embe]", TPayloadStatus::Malformed,
         "payload without rack records"},
        {"name field cut short", kHeader + kScript + "[racks termin", TPayloadStatus::Malformed,
         "rack record cut short in its name"},
        {"name field one byte short", kHeader + kScript + "[racks " + std::string(42, 'n'),
         TPayloadStatus::Malformed, "rack record cut short in its name"},
        {"record not closed",
         kHeader + kScript + "[racks terminal.res" + std::string(31, ' ') + "x",
         TPayloadStatus::Malformed, "rack record terminal.res not closed"},
        {"end tag missing", kHeader + kScript + good + "VVVV", TPayloadStatus::Malformed,
         "rack record or end tag expected"},
        {"garbage between records", kHeader + kScript + good + "zz" + good + "[embe]",
         TPayloadStatus::Malformed, "rack record or end tag expected"},
        {"blank name", kHeader + kScript + Record("", "x") + "[embe]", TPayloadStatus::Malformed,
         noName},
        {"dot-dot name", kHeader + kScript + Record("..", "x") + "[embe]",
         TPayloadStatus::Malformed, noName},
        {"folder ending in dot-dot", kHeader + kScript + Record("racks/..", "x") + "[embe]",
         TPayloadStatus::Malformed, noName},
        {"trailing slash", kHeader + kScript + Record("racks/", "x") + "[embe]",
         TPayloadStatus::Malformed, noName},
        {"control byte in name", kHeader + kScript + Record("a\nb.res", "x") + "[embe]",
         TPayloadStatus::Malformed, noName},
        {"minimal valid", kHeader + "[scripts][scripte]" + good + "[embe]", TPayloadStatus::Valid,
         ""},
        {"name filling the whole field", kHeader + kScript + Record(std::string(43, 'n'), "x") +
         "[embe]", TPayloadStatus::Valid, ""},
    };
    for (const TCase& c : cases) {
        const TPayloadReading reading = ReadPayload(c.space);
        EXPECT_EQ(reading.status, c.status) << c.what;
        EXPECT_EQ(reading.problem, c.problem) << c.what;
    }
}

TEST(PayloadReader, ReducesRackNamesToBareFileNames) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"../../etc/passwd", "passwd"},
        {"/absolute/folder/x.res", "x.res"},
        {"..\\..\\windows\\w.res", "w.res"},
        {"   padded.res", "padded.res"},
        {"racks/./a.res", "a.res"},
        {"name with blank.res", "name with blank.res"},
        {"../   blank after folder.res", "blank after folder.res"},
    };
    for (const auto& [field, bare] : cases) {
        const TPayloadReading reading =
            ReadPayload(kHeader + kScript + Record(field, "data") + "[embe]");
        ASSERT_EQ(reading.status, TPayloadStatus::Valid) << field;
        ASSERT_EQ(reading.payload.racks.size(), 1u);
        EXPECT_EQ(reading.payload.racks[0].name, bare) << field;
        EXPECT_EQ(reading.payload.racks[0].bytes, "data");
    }
}

TEST(ApplyPayload, SizeBoundaryAndAreaChecks) {
    const std::string executable = testing::FakeExecutable();
    const std::string fits(kPayloadSpaceSize - 1, 'p');
    std::string problem;
    const auto patched = ApplyPayload(executable, fits, problem);
    ASSERT_TRUE(patched.has_value()) << problem;
    EXPECT_EQ(patched->size(), executable.size());
    const std::string_view space = testing::SpaceOf(*patched);
    EXPECT_EQ(space.substr(0, fits.size()), fits);
    EXPECT_EQ(space.back(), 'V') << "the last filler byte stays";
    EXPECT_EQ(std::string_view(*patched).substr(0, testing::kFakeHead.size() + kMarkerSize),
              std::string(testing::kFakeHead) + StartMarker());
    EXPECT_TRUE(patched->ends_with(EndMarker() + std::string(testing::kFakeTail)));

    EXPECT_FALSE(ApplyPayload(executable, std::string(kPayloadSpaceSize, 'p'), problem));
    EXPECT_EQ(problem, "the payload does not fit the payload area");
    EXPECT_FALSE(ApplyPayload("no area here", "x", problem));
    EXPECT_EQ(problem, "the executable has no payload area");
    const std::string cutShort =
        executable.substr(0, executable.size() - testing::kFakeTail.size() - 1);
    EXPECT_FALSE(ApplyPayload(cutShort, "x", problem));
    EXPECT_EQ(problem, "the executable's payload area is cut short");
}

}  // namespace
}  // namespace korvane::workbench
