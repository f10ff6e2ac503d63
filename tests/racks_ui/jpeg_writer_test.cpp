#include "racks/ui/jpeg_writer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

namespace korvane::racks {
namespace {

QImage TestPicture() {
    QImage image(97, 41, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.fillRect(0, 0, 48, 41, Qt::red);
    painter.drawText(50, 30, "Korvane");
    return image;
}

TEST(JpegWriter, EncodesAtTheGivenQuality) {
    const QImage picture = TestPicture();
    TResult<std::string> best = EncodeJpeg(picture, 100);
    TResult<std::string> worst = EncodeJpeg(picture, 1);
    ASSERT_TRUE(best.Ok() && worst.Ok());
    EXPECT_GT(best.Value().size(), worst.Value().size());
    EXPECT_EQ(best.Value().substr(0, 2), "\xFF\xD8");
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(reinterpret_cast<const uchar*>(best.Value().data()),
                                     static_cast<int>(best.Value().size()), "JPG"));
    EXPECT_EQ(decoded.size(), picture.size());
    EXPECT_GT(decoded.pixelColor(10, 10).red(), 230);
    EXPECT_LT(decoded.pixelColor(10, 10).green(), 30);
}

TEST(JpegWriter, EncoderErrorsComeBackAsMessages) {
    EXPECT_FALSE(EncodeJpeg(QImage(), 50).Ok());
    // Wider than a JPEG can be: libjpeg's error would have ended the program.
    QImage wide(70000, 1, QImage::Format_RGB32);
    wide.fill(Qt::gray);
    TResult<std::string> refused = EncodeJpeg(wide, 50);
    ASSERT_FALSE(refused.Ok());
    EXPECT_EQ(refused.Error().rfind("JPEG encoder: ", 0), 0u);
    EXPECT_TRUE(EncodeJpeg(TestPicture(), 50).Ok());  // and the encoder still works
}

}  // namespace
}  // namespace korvane::racks
