#pragma once

#include <QImage>
#include <string>

#include "racks/result.h"

namespace korvane::racks {

// Encodes an image as a baseline JPEG at a quality of 1..100 (libjpeg's scale), the other
// settings left at the encoder's defaults. Encoder errors come back as a message; they
// never end the program.
TResult<std::string> EncodeJpeg(const QImage& image, int quality);

}  // namespace korvane::racks
