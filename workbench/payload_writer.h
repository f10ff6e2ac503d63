#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korvane::workbench {

// Builds a payload in the order its format fixes: header (at construction), script, one or
// more rack records, end tag. Parts a reader could not take back apart are refused.
class TPayloadWriter {
 public:
    TPayloadWriter();

    // False when a script was added already or the scrambled text holds the script's closing
    // tag, which a reader would take for the end of the section.
    bool AddScript(std::string_view scrambledScript);

    // False (nothing added) before the script, when the name does not fit the name field, or
    // when the bytes hold the record's closing tag.
    bool AddRack(std::string_view bareName, std::string_view bytes);

    std::size_t Size() const { return m_payload.size(); }

    // The finished payload, end tag included; the writer is spent afterwards.
    std::string Finish();

 private:
    std::string m_payload;
    bool m_hasScript = false;
};

// Whether a finished payload fits the payload space (it must stay below its size).
bool PayloadFits(std::string_view payload);

// A copy of the executable with the payload written over the start of its payload space; the
// size, the rest of the filler and the end marker stay. None, with a problem text, when the
// executable has no payload area or the payload does not fit.
std::optional<std::string> ApplyPayload(std::string_view executable, std::string_view payload,
                                        std::string& problem);

}  // namespace korvane::workbench
