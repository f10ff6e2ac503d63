#include "engine/value_slots.h"

#include "engine/errors.h"
#include "engine/text_limit.h"
#include "engine/text_utils.h"

namespace korvane::engine {

namespace {

// Four index bytes of seven bits each, all in 0x80..0xFF.
constexpr size_t kIndexBytes = TValueSlots::kPlaceholderSize - 1;
constexpr size_t kMaxSlots = size_t{1} << (7 * kIndexBytes);

}  // namespace

std::string TValueSlots::Add(TSlotKind kind, std::string text) {
    CheckTextSize(text.size());
    if (m_slots.size() >= kMaxSlots) throw EFatalError("Expression too complex");
    m_slots.push_back({kind, std::move(text)});
    return PlaceholderFor(m_slots.size() - 1);
}

std::string TValueSlots::PlaceholderFor(size_t index) {
    char placeholder[kPlaceholderSize] = {kMarker};
    for (size_t i = 0; i < kIndexBytes; ++i) {
        placeholder[1 + i] = static_cast<char>(0x80 | ((index >> (7 * i)) & 0x7F));
    }
    return std::string(placeholder, kPlaceholderSize);
}

size_t TValueSlots::IndexAt(std::string_view text, size_t at) {
    if (at + kPlaceholderSize > text.size() || text[at] != kMarker) return std::string_view::npos;
    size_t index = 0;
    for (size_t i = 0; i < kIndexBytes; ++i) {
        const auto byte = static_cast<unsigned char>(text[at + 1 + i]);
        if (byte < 0x80) return std::string_view::npos;
        index |= static_cast<size_t>(byte & 0x7F) << (7 * i);
    }
    return index;
}

void TValueSlots::Protect(std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == kMarker) {
            out += Add(TSlotKind::ScriptByte, std::string(1, c));
        } else {
            out.push_back(c);
        }
    }
    text = std::move(out);
}

const TSlot* TValueSlots::At(std::string_view text, size_t at) const {
    const size_t index = IndexAt(text, at);
    return index < m_slots.size() ? &m_slots[index] : nullptr;
}

const TSlot* TValueSlots::Whole(std::string_view text) const {
    return text.size() == kPlaceholderSize ? At(text, 0) : nullptr;
}

std::string TValueSlots::Expand(std::string_view text) const {
    std::string out;
    for (size_t i = 0; i < text.size();) {
        const TSlot* slot = At(text, i);
        if (!slot) {
            out.push_back(text[i++]);
            continue;
        }
        if (slot->kind == TSlotKind::Literal) {
            out += QuoteText(slot->text);
        } else {
            out += slot->text;
        }
        CheckTextSize(out.size());
        i += kPlaceholderSize;
    }
    return out;
}

}  // namespace korvane::engine
