#pragma once

#include <QImage>
#include <filesystem>
#include <optional>
#include <string_view>

#include "racks/ui/rack_control.h"

namespace korvane::racks {

// Pictures larger than this (in pixels) are refused, so a forged header cannot make the
// decoder allocate without bound.
inline constexpr qint64 kMaxPicturePixels = qint64{8192} * 8192;
inline constexpr size_t kMaxPictureFileSize = 64 * 1024 * 1024;

// Decodes a picture's bytes in the format of its graphic class; none for classes the widgets
// cannot show (metafiles), broken data or oversized pictures.
std::optional<QImage> DecodePicture(const TPicture& picture);

// Reads a picture file as the given graphic class; none when it is missing, unreadable or
// does not decode as that class.
std::optional<TPicture> ReadPictureFile(const std::filesystem::path& path,
                                        std::string_view graphicClass);

}  // namespace korvane::racks
