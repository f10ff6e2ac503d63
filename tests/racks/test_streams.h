#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "racks/form_object.h"

namespace korvane::racks::test {

// Bytes from a list of byte values and text pieces, for writing expected streams by hand.
std::string Bytes(std::initializer_list<int> values);
std::string ShortString(std::string_view text);

// A root "TX" named "x" holding one property "P" with value, and the bytes of that value as a
// stream writes them (the tag and payload only).
TFormObject RootWith(const TFormValue& value);
std::string EncodedValue(const TFormValue& value);

TFormObject SampleRack();  // a window with a label and a power button
std::string ReadTestFile(std::string_view name);

}  // namespace korvane::racks::test
