#include "racks/ui/picture_image.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>

#include "racks/rack_file.h"
#include "racks/ui/picture_data.h"

namespace korvane::racks {

namespace {

const char* QtFormatOf(std::string_view graphicClass) {
    if (graphicClass == kBitmapClass) return "bmp";
    if (graphicClass == kJpegClass) return "jpg";
    if (graphicClass == kIconClass) return "ico";
    return nullptr;
}

}  // namespace

std::optional<QImage> DecodePicture(const TPicture& picture) {
    const char* format = QtFormatOf(picture.graphicClass);
    if (!format || picture.data.empty()) return std::nullopt;
    QByteArray bytes =
        QByteArray::fromRawData(picture.data.data(), static_cast<qsizetype>(picture.data.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);  // a JPEG is no bitmap, whatever it decodes as
    const QSize size = reader.size();
    if (!size.isValid() || qint64{size.width()} * size.height() > kMaxPicturePixels) {
        return std::nullopt;
    }
    QImage image;
    if (!reader.read(&image) || image.isNull()) return std::nullopt;
    return image;
}

std::optional<TPicture> ReadPictureFile(const std::filesystem::path& path,
                                        std::string_view graphicClass) {
    TResult<std::string> bytes = ReadFileBytes(path, kMaxPictureFileSize);
    if (!bytes) return std::nullopt;
    TPicture picture{std::string(graphicClass), std::move(bytes).Value()};
    if (!DecodePicture(picture)) return std::nullopt;
    return picture;
}

}  // namespace korvane::racks
