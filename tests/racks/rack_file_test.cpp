#include "racks/rack_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "racks/form_stream_writer.h"
#include "racks/rack_header.h"
#include "racks/registered_classes.h"
#include "test_streams.h"

namespace korvane::racks {
namespace {

using test::Bytes;

TEST(RackHeader, WritesTheResourceEntryOfARack) {
    const std::string expected =
        Bytes({0xFF, 10, 0}) + "TFRMRACK" + Bytes({0, 0x30, 0x10, 0x9F, 0x02, 0, 0});
    EXPECT_EQ(WriteRackHeader("TfrmRack", 671), expected);
    EXPECT_EQ(WriteRackHeader("TTerminal", 1),
              Bytes({0xFF, 10, 0}) + "TTERMINAL" + Bytes({0, 0x30, 0x10, 1, 0, 0, 0}));
}

TEST(RackHeader, NameIsCutAt63CharactersAndAtANul) {
    for (const size_t length : {63u, 64u, 100u}) {
        const std::string header = WriteRackHeader(std::string(length, 'a'), 0);
        EXPECT_EQ(header.substr(3, 64), std::string(63, 'A') + '\0') << length;
        EXPECT_EQ(header.size(), 3u + 64u + 6u) << length;
    }
    EXPECT_EQ(WriteRackHeader(std::string(62, 'a'), 0).substr(3, 63), std::string(62, 'A') + '\0');
    EXPECT_EQ(WriteRackHeader(std::string("Ab\0c", 4), 0).substr(3, 3), std::string("AB\0", 3));
}

TEST(RackFile, EncodesHeaderThenStreamAndDecodesBack) {
    const TFormObject rack = test::SampleRack();
    const std::string stream = WriteFormStream(rack).Value();
    TResult<std::string> file = EncodeRack(rack);
    ASSERT_TRUE(file.Ok()) << file.Error();
    EXPECT_EQ(file.Value(),
              WriteRackHeader("TfrmRack", static_cast<uint32_t>(stream.size())) + stream);
    TResult<TFormObject> decoded = DecodeRack(AsBytes(file.Value()));
    ASSERT_TRUE(decoded.Ok()) << decoded.Error();
    EXPECT_EQ(decoded.Value(), rack);
}

TEST(RackFile, HeaderNameFlagsAndSizeAreNotTrusted) {
    const std::string stream = WriteFormStream(test::SampleRack()).Value();
    const std::string odd =
        Bytes({0xFF, 10, 0}) + "OTHER NAME" + Bytes({0, 0x34, 0x12, 1, 0, 0, 0}) + stream;
    TResult<TFormObject> decoded = DecodeRack(AsBytes(odd));
    ASSERT_TRUE(decoded.Ok()) << decoded.Error();
    EXPECT_EQ(decoded.Value(), test::SampleRack());
}

TEST(RackFile, ForeignOrBrokenFilesFailWithAClearMessage) {
    const std::string stream = WriteFormStream(test::SampleRack()).Value();
    const std::string good = EncodeRack(test::SampleRack()).Value();
    // A 32-bit resource file opens with an empty 32-byte entry.
    const std::string win32 =
        Bytes({0, 0, 0, 0, 0x20, 0, 0, 0, 0xFF, 0xFF, 0, 0, 0xFF, 0xFF, 0, 0}) +
        std::string(16, '\0') + good;
    const struct {
        const char* name;
        std::string bytes;
        std::string message;
    } cases[] = {
        {"empty", "", "bad rack header: truncated at offset 0: 1 bytes needed, 0 left"},
        {"first byte", "\xFE" + good.substr(1), "not a rack file: first byte is 0xFE, not 0xFF"},
        {"type", Bytes({0xFF, 5, 0}) + good.substr(3),
         "not a rack file: resource type is 5, not 10 (RCDATA)"},
        {"type high byte", Bytes({0xFF, 10, 1}) + good.substr(3),
         "not a rack file: resource type is 266, not 10 (RCDATA)"},
        {"32-bit resource file", win32, "not a rack file: first byte is 0x00, not 0xFF"},
        {"name without NUL", Bytes({0xFF, 10, 0}) + "TFRMRACK",
         "bad rack header: truncated at offset 11: 1 bytes needed, 0 left"},
        {"no stream", good.substr(0, good.size() - stream.size()),
         "bad form stream: truncated at offset 18: 4 bytes needed, 0 left"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TResult<TFormObject> decoded = DecodeRack(AsBytes(c.bytes));
        ASSERT_FALSE(decoded.Ok());
        EXPECT_EQ(decoded.Error(), c.message);
    }
}

TEST(RackFile, TruncationAtEveryOffsetFails) {
    const std::string good = EncodeRack(test::SampleRack()).Value();
    for (size_t length = 0; length < good.size(); ++length) {
        EXPECT_FALSE(DecodeRack(AsBytes(good.substr(0, length))).Ok()) << "length " << length;
    }
}

TEST(RackFile, FourGigabyteLengthInASmallFileFailsWithoutAllocating) {
    TFormObject rack = test::SampleRack();
    rack.properties.SetBytes("Picture.Data", std::string(1000, 'x'));
    std::string file = EncodeRack(rack).Value();
    const size_t length = file.find(std::string(1, '\x0A') + Bytes({0xE8, 0x03, 0, 0}));
    ASSERT_NE(length, std::string::npos);
    file.replace(length + 1, 4, Bytes({0xFF, 0xFF, 0xFF, 0xFF}));
    TResult<TFormObject> decoded = DecodeRack(AsBytes(file));
    ASSERT_FALSE(decoded.Ok());
    EXPECT_NE(decoded.Error().find("4294967295 bytes needed"), std::string::npos)
        << decoded.Error();
}

class RackFileOnDisk : public ::testing::Test {
 protected:
    void SetUp() override {
        m_folder = std::filesystem::temp_directory_path() /
                   ("korvane_racks_" +
                    std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override { std::filesystem::remove_all(m_folder); }

    std::filesystem::path m_folder;
};

TEST_F(RackFileOnDisk, SavesAndLoadsAndReportsMissingFiles) {
    const std::filesystem::path path = m_folder / "rack.res";
    ASSERT_TRUE(SaveRackFile(path, test::SampleRack()).Ok());
    TResult<TFormObject> loaded = LoadRackFile(path);
    ASSERT_TRUE(loaded.Ok()) << loaded.Error();
    EXPECT_EQ(loaded.Value(), test::SampleRack());

    TResult<TFormObject> missing = LoadRackFile(m_folder / "missing.res");
    ASSERT_FALSE(missing.Ok());
    EXPECT_EQ(missing.Error(),
              "cannot open " + (m_folder / "missing.res").string() + ": No such file or directory");
    TStatus unwritable = SaveRackFile(m_folder / "no" / "such" / "folder.res", test::SampleRack());
    ASSERT_FALSE(unwritable.Ok());
    EXPECT_EQ(unwritable.Error(), "cannot create " +
                                      (m_folder / "no" / "such" / "folder.res").string() +
                                      ": No such file or directory");
}

TEST_F(RackFileOnDisk, RefusesFilesOverTheSizeLimit) {
    const std::filesystem::path path = m_folder / "big.res";
    ASSERT_TRUE(WriteFileBytes(path, std::string(2000, 'x')).Ok());
    TResult<std::string> bytes = ReadFileBytes(path, 1000);
    ASSERT_FALSE(bytes.Ok());
    EXPECT_EQ(bytes.Error(), path.string() + " is larger than 1000 bytes");
    EXPECT_TRUE(ReadFileBytes(path, 2000).Ok());
}

TEST(RegisteredClasses, OnlyControlsBelowTheRootAreChecked) {
    TFormObject rack = test::SampleRack();
    rack.className = "TSomethingElse";
    EXPECT_TRUE(CheckRegisteredClasses(rack).Ok());
    for (std::string_view name : kRegisteredClasses) EXPECT_TRUE(IsRegisteredClass(name)) << name;
    EXPECT_FALSE(IsRegisteredClass("TButton"));
    EXPECT_FALSE(IsRegisteredClass("tlabel"));

    rack.children.push_back({.className = "TButton", .objectName = "button1"});
    TStatus unknown = CheckRegisteredClasses(rack);
    ASSERT_FALSE(unknown.Ok());
    EXPECT_EQ(unknown.Error(), "unregistered control class TButton (object button1)");

    rack.children.back().className = "TVrBorder";
    rack.children.back().children.push_back({.className = "TPanel", .objectName = "inner"});
    EXPECT_EQ(CheckRegisteredClasses(rack).Error(),
              "unregistered control class TPanel (object inner)");
}

}  // namespace
}  // namespace korvane::racks
