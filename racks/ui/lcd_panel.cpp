#include "racks/ui/lcd_panel.h"

#include <QFile>

#include "racks/ui/picture_data.h"

namespace korvane::racks {

TPicture BuiltInLcdPicture() {
    static const TPicture picture = [] {
        QFile file(QStringLiteral(":/korvane/racks/lcd_panel.bmp"));
        TPicture bitmap{std::string(kBitmapClass), {}};
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            bitmap.data.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
        }
        return bitmap;
    }();
    return picture;
}

}  // namespace korvane::racks
