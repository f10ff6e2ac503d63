// Feeds arbitrary bytes to the rack reader and to the text-form reader. Whatever either accepts
// must survive the trip back: a stream writes back to the bytes it was read from, and its text
// form reads back to the same stream.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>

#include "racks/form_stream_reader.h"
#include "racks/form_stream_writer.h"
#include "racks/form_text.h"
#include "racks/rack_header.h"

namespace {

using namespace korvane::racks;

void Require(bool condition) {
    if (!condition) std::abort();
}

// When the tree has a text form, that text must read back to the same stream.
void CheckTextRoundTrip(const TFormObject& root, const std::string& stream) {
    TResult<std::string> text = FormToText(root);
    if (!text) return;
    TResult<TFormObject> again = FormFromText(text.Value());
    Require(again.Ok());
    TResult<std::string> rewritten = WriteFormStream(again.Value());
    Require(rewritten.Ok() && rewritten.Value() == stream);
}

void CheckRack(std::span<const uint8_t> bytes) {
    TResult<size_t> header = ReadRackHeader(bytes);
    if (!header) return;
    TResult<TFormStreamRead> read = ReadFormStream(bytes.subspan(header.Value()), header.Value());
    if (!read) return;
    const std::string original(reinterpret_cast<const char*>(bytes.data()) + header.Value(),
                               read.Value().length);
    TResult<std::string> written = WriteFormStream(read.Value().root);
    Require(written.Ok() && written.Value() == original);
    CheckTextRoundTrip(read.Value().root, original);
}

void CheckText(std::string_view text) {
    TResult<TFormObject> root = FormFromText(text);
    if (!root) return;
    TResult<std::string> stream = WriteFormStream(root.Value());
    if (!stream) return;  // text can say what a stream cannot hold, such as a Null in a list
    CheckTextRoundTrip(root.Value(), stream.Value());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CheckRack({data, size});
    CheckText({reinterpret_cast<const char*>(data), size});
    return 0;
}
