#include "workbench/payload_reader.h"

#include <optional>

#include "workbench/payload_layout.h"
#include "workbench/rack_name.h"

namespace korvane::workbench {

namespace {

// Walks forward over the payload bytes; every step either consumes what it expects or
// leaves the cursor where it was.
class TCursor {
 public:
    explicit TCursor(std::string_view bytes) : m_rest(bytes) {}

    bool Take(std::string_view tag) {
        if (m_rest.substr(0, tag.size()) != tag) return false;
        m_rest.remove_prefix(tag.size());
        return true;
    }

    // The bytes before the next closing tag, consuming both.
    std::optional<std::string_view> TakeUntil(std::string_view closingTag) {
        const std::size_t at = m_rest.find(closingTag);
        if (at == std::string_view::npos) return std::nullopt;
        const std::string_view before = m_rest.substr(0, at);
        m_rest.remove_prefix(at + closingTag.size());
        return before;
    }

    std::optional<std::string_view> TakeFixed(std::size_t count) {
        if (m_rest.size() < count) return std::nullopt;
        const std::string_view field = m_rest.substr(0, count);
        m_rest.remove_prefix(count);
        return field;
    }

 private:
    std::string_view m_rest;
};

// One "[open]...[close]" section; none when either tag is missing.
std::optional<std::string_view> TakeSection(TCursor& cursor, std::string_view open,
                                            std::string_view close) {
    if (!cursor.Take(open)) return std::nullopt;
    return cursor.TakeUntil(close);
}

TPayloadReading Malformed(std::string problem) {
    TPayloadReading reading;
    reading.status = TPayloadStatus::Malformed;
    reading.problem = std::move(problem);
    return reading;
}

// Reads the rack records up to the end tag; returns the problem, empty on success.
std::string ReadRackRecords(TCursor& cursor, TPayload& payload) {
    while (!cursor.Take(kPayloadEnd)) {
        if (!cursor.Take(kRackOpen)) return "rack record or end tag expected";
        const auto field = cursor.TakeFixed(kRackNameWidth);
        if (!field) return "rack record cut short in its name";
        auto name = BareRackName(*field);
        if (!name) return "rack record without a usable file name";
        const auto bytes = cursor.TakeUntil(kRackClose);
        if (!bytes) return "rack record " + *name + " not closed";
        payload.racks.push_back({std::move(*name), std::string(*bytes)});
    }
    if (payload.racks.empty()) return "payload without rack records";
    return {};
}

}  // namespace

TPayloadReading ReadPayload(std::string_view space) {
    if (space.find(kProductName) == std::string_view::npos) return {};

    TCursor cursor(space);
    TPayload payload;
    const auto name = TakeSection(cursor, kNameOpen, kNameClose);
    if (!name) return Malformed("product name section missing");
    if (*name != kProductName) return Malformed("payload of another product");
    const auto version = TakeSection(cursor, kVersionOpen, kVersionClose);
    if (!version) return Malformed("version section missing");
    const auto script = TakeSection(cursor, kScriptOpen, kScriptClose);
    if (!script) return Malformed("script section missing");
    payload.productName = *name;
    payload.version = *version;
    payload.scrambledScript = *script;

    std::string problem = ReadRackRecords(cursor, payload);
    if (!problem.empty()) return Malformed(std::move(problem));

    TPayloadReading reading;
    reading.status = TPayloadStatus::Valid;
    reading.payload = std::move(payload);
    return reading;
}

}  // namespace korvane::workbench
