#include "workbench/payload_writer.h"

#include "workbench/payload_area.h"
#include "workbench/payload_layout.h"
#include "workbench/rack_name.h"

namespace korvane::workbench {

TPayloadWriter::TPayloadWriter() {
    m_payload.append(kNameOpen).append(kProductName).append(kNameClose);
    m_payload.append(kVersionOpen).append(kProductVersion).append(kVersionClose);
}

bool TPayloadWriter::AddScript(std::string_view scrambledScript) {
    if (m_hasScript || scrambledScript.find(kScriptClose) != std::string_view::npos) return false;
    m_payload.append(kScriptOpen).append(scrambledScript).append(kScriptClose);
    m_hasScript = true;
    return true;
}

bool TPayloadWriter::AddRack(std::string_view bareName, std::string_view bytes) {
    const auto field = PaddedRackName(bareName);
    if (!m_hasScript || !field || bytes.find(kRackClose) != std::string_view::npos) return false;
    m_payload.append(kRackOpen).append(*field).append(bytes).append(kRackClose);
    return true;
}

std::string TPayloadWriter::Finish() {
    m_payload.append(kPayloadEnd);
    return std::move(m_payload);
}

bool PayloadFits(std::string_view payload) { return payload.size() < kPayloadSpaceSize; }

std::optional<std::string> ApplyPayload(std::string_view executable, std::string_view payload,
                                        std::string& problem) {
    const auto space = FindPayloadSpace(executable);
    if (!space) {
        problem = "the executable has no payload area";
        return std::nullopt;
    }
    if (!PayloadFits(payload)) {
        problem = "the payload does not fit the payload area";
        return std::nullopt;
    }
    if (executable.size() - *space < kPayloadSpaceSize + kMarkerSize) {
        problem = "the executable's payload area is cut short";
        return std::nullopt;
    }
    std::string copy(executable);
    copy.replace(*space, payload.size(), payload);
    return copy;
}

}  // namespace korvane::workbench
