#pragma once

#include <string>

#include "racks/form_object.h"
#include "racks/result.h"

namespace korvane::racks {

// Writes root as a "TPF0" form stream. Every value keeps its tag, so a tree read from a stream
// is written back byte for byte. Fails for what the format cannot hold: names longer than 255
// bytes, empty property or class names, a short string over 255 bytes, a Null inside a list, an
// empty set member, or a class name whose length byte would read as a prefix byte.
TResult<std::string> WriteFormStream(const TFormObject& root);

}  // namespace korvane::racks
