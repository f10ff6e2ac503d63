#include "test_streams.h"

#include <gtest/gtest.h>

#include "racks/form_stream_writer.h"
#include "racks/rack_file.h"

namespace korvane::racks::test {

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) out += static_cast<char>(v);
    return out;
}

std::string ShortString(std::string_view text) {
    return static_cast<char>(text.size()) + std::string(text);
}

TFormObject RootWith(const TFormValue& value) {
    TFormObject root{.className = "TX", .objectName = "x"};
    root.properties.Set("P", value);
    return root;
}

std::string EncodedValue(const TFormValue& value) {
    TResult<std::string> stream = WriteFormStream(RootWith(value));
    EXPECT_TRUE(stream.Ok()) << stream.Error();
    if (!stream) return {};
    // "TPF0", class, name, property name ... value ..., end of properties, end of children
    const size_t start = 4 + 3 + 2 + 2;
    return stream.Value().substr(start, stream.Value().size() - start - 2);
}

TFormObject SampleRack() {
    TFormObject root{.className = "TfrmRack", .objectName = "frmRack_1"};
    root.properties.SetInteger("Left", 306);
    root.properties.SetInteger("Top", 155);
    root.properties.SetBool("Visible", true);
    TFormObject label{.className = "TLabel", .objectName = "label1"};
    label.properties.SetText("Caption", "Drawer");
    TFormObject button{.className = "TVrPowerButton", .objectName = "pbutton1"};
    button.properties.SetText("Caption", "Open Drawer");
    button.properties.SetIdent("Palette.Low", "clGreen");
    root.children = {label, button};
    return root;
}

std::string ReadTestFile(std::string_view name) {
    TResult<std::string> bytes = ReadFileBytes(
        std::string(KORVANE_RACK_TEST_DATA) + "/" + std::string(name), kMaxRackFileSize);
    EXPECT_TRUE(bytes.Ok()) << bytes.Error();
    return bytes ? bytes.Value() : std::string();
}

}  // namespace korvane::racks::test
