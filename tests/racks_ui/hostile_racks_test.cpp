// Rack files nobody should trust: cut short, forged or oversized, they fail or load within
// bounds, and never bring the window down.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "racks/rack_file.h"
#include "racks/ui/picture_data.h"
#include "racks/ui/picture_image.h"
#include "tests/racks_ui/rack_fixture.h"

namespace korvane::racks::testing {
namespace {

TEST(HostileRacks, EveryTruncationFailsCleanly) {
    TRackFixture f;
    const std::string bytes = ReadBytes(f.WriteRack(kPanelRack));
    const std::string path = f.dir.File("cut.res");
    for (size_t length = 0; length < bytes.size(); ++length) {
        WriteBytes(path, bytes.substr(0, length));
        ASSERT_FALSE(f.rack->LoadRack(path).Ok()) << length;
    }
    WriteBytes(path, bytes);
    EXPECT_TRUE(f.rack->LoadRack(path).Ok());
}

TEST(HostileRacks, FuzzerFindingsLoadOrFail) {
    TRackFixture f;
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(KORVANE_RACK_CORPUS)) {
        const TStatus status = f.rack->LoadRack(entry.path());
        if (status.Ok()) {
            EXPECT_TRUE(f.rack->isVisible()) << entry.path();
        }
        ++files;
    }
    EXPECT_GT(files, 0);
}

// A bitmap header that claims a picture of 100000 x 100000 pixels in a few bytes.
std::string ForgedBitmap() {
    QImage small(2, 2, QImage::Format_RGB32);
    small.fill(Qt::red);
    const std::filesystem::path path = std::filesystem::temp_directory_path() / "korvane-forged.bmp";
    EXPECT_TRUE(small.save(QString::fromStdString(path.string()), "BMP"));
    std::string bytes = ReadBytes(path.string());
    std::filesystem::remove(path);
    for (int offset : {18, 22}) {  // width and height in the info header
        const uint32_t huge = 100000;
        for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<char>((huge >> (8 * i)) & 0xFF);
    }
    return bytes;
}

TEST(HostileRacks, OversizedPicturesAreRefusedBeforeDecoding) {
    const TPicture forged{"TBitmap", ForgedBitmap()};
    EXPECT_EQ(DecodePicture(forged), std::nullopt);
    TRackFixture f;
    TFormObject root = FormFromTextOrDie(
        "object r: TfrmRack\n  object i: TImage\n    Width = 50\n    Height = 50\n  end\nend\n");
    root.children[0].properties.SetBytes("Picture.Data", EncodePictureData(forged));
    ASSERT_TRUE(SaveRackFile(f.dir.File("forged.res"), root).Ok());
    ASSERT_TRUE(f.rack->LoadRack(f.dir.File("forged.res")).Ok());
    QImage shown(50, 50, QImage::Format_RGB32);
    f.rack->ControlWidget(0)->render(&shown);  // paints nothing, and does not fail
    WriteBytes(f.dir.File("forged.bmp"), forged.data);
    auto run = f.Run("loadimage(\"i\", \"" + f.dir.File("forged.bmp") + "\")\ne = error");
    EXPECT_EQ(run->GetVariable("e"), "1");
}

TEST(HostileRacks, MetafilesAndBrokenPicturesShowNothing) {
    EXPECT_EQ(DecodePicture({"TMetafile", "\x01\x00\x00\x00"}), std::nullopt);
    EXPECT_EQ(DecodePicture({"TBitmap", "BM"}), std::nullopt);
    EXPECT_EQ(DecodePicture({"TJPEGImage", std::string(100, '\xFF')}), std::nullopt);
    EXPECT_EQ(DecodePicture({"TBitmap", ""}), std::nullopt);
}

}  // namespace
}  // namespace korvane::racks::testing
