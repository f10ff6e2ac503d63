#include "engine/variable_store.h"

#include <atomic>
#include <cstdint>

#include "engine/number_text.h"
#include "engine/text_limit.h"
#include "engine/text_utils.h"

namespace korvane::engine {

bool IsSystemVariable(std::string_view name) {
    return EqualsIgnoreCase(name, "error") || EqualsIgnoreCase(name, "myport");
}

size_t TVariableStore::CaseInsensitiveHash::operator()(std::string_view text) const {
    size_t hash = 1469598103934665603ull;
    for (char c : text) {
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
        hash = (hash ^ static_cast<unsigned char>(lower)) * 1099511628211ull;
    }
    return hash;
}

bool TVariableStore::CaseInsensitiveEqual::operator()(std::string_view a,
                                                       std::string_view b) const {
    return EqualsIgnoreCase(a, b);
}

TVariableStore::TVariableStore() { LayoutChanged(); }

void TVariableStore::LayoutChanged() {
    // Taken from one counter for all stores, so no hint taken in one store holds in another.
    static std::atomic<uint64_t> s_layouts{0};
    m_layout = ++s_layouts;
}

void TVariableStore::Clear() {
    m_entries.clear();
    m_index.clear();
    m_bytes = 0;
    LayoutChanged();
}

template <typename TWrite>
void TVariableStore::Store(std::string_view name, size_t size, TWrite&& write) {
    auto it = m_index.find(name);
    if (size == 0) {
        if (it != m_index.end()) Remove(it->second);
        return;
    }
    const size_t before = it == m_index.end() ? 0 : name.size() + TextSize(m_entries[it->second]);
    const size_t total = m_bytes - before + name.size() + size;
    if (total > kMaxScriptData) ThrowScriptDataTooLarge();
    m_bytes = total;
    if (it != m_index.end()) {
        // The entry takes the spelling of the latest assignment, as its text is replaced whole.
        auto& entry = m_entries[it->second];
        if (entry.name != name) {
            const size_t index = it->second;
            m_index.erase(it);
            entry.name = std::string(name);
            m_index.emplace(entry.name, index);
            LayoutChanged();
        }
        write(entry);
        return;
    }
    m_entries.push_back(TEntry{std::string(name), std::string()});
    write(m_entries.back());
    m_index.emplace(m_entries.back().name, m_entries.size() - 1);
    LayoutChanged();
}

// Store for a caller that comes back with the same name: the entry at `hint` is written
// directly while it still has that very spelling.
template <typename TWrite>
void TVariableStore::StoreAt(std::string_view name, size_t size, TVariableHint& hint, TWrite&& write) {
    if (size != 0 && hint.layout == m_layout && hint.index != SIZE_MAX && hint.exact) {
        TEntry& entry = m_entries[hint.index];
        const size_t total = m_bytes - TextSize(entry) + size;
        if (total > kMaxScriptData) ThrowScriptDataTooLarge();
        m_bytes = total;
        write(entry);
        return;
    }
    Store(name, size, write);
    LookUp(name, hint);
}

namespace {

// The writers Store takes: each leaves the entry's number to be read from its new text, or
// sets it when the caller knows it.
auto CopyText(std::string_view value) {
    return [value](TVariableStore::TEntry& entry) {
        std::string& text = entry.text;
        const bool inside = value.data() >= text.data() && value.data() < text.data() + text.size();
        // The old text goes before the new one is made, so a large value is never held three
        // times over (old, new and the caller's).
        if (!inside && text.capacity() < value.size()) std::string().swap(text);
        text.assign(value.data(), value.size());
        entry.numberKnown = false;
        entry.textPending = false;
        entry.wholeText = false;
    };
}

auto MoveText(std::string& value) {
    return [&value](TVariableStore::TEntry& entry) {
        entry.text = std::move(value);
        entry.numberKnown = false;
        entry.textPending = false;
        entry.wholeText = false;
    };
}

}  // namespace

void TVariableStore::Set(std::string_view name, std::string_view value) {
    Store(name, value.size(), CopyText(value));
}

void TVariableStore::SetMoved(std::string_view name, std::string&& value) {
    Store(name, value.size(), MoveText(value));
}

void TVariableStore::Set(std::string_view name, std::string_view value, TVariableHint& hint) {
    StoreAt(name, value.size(), hint, CopyText(value));
}

void TVariableStore::SetMoved(std::string_view name, std::string&& value, TVariableHint& hint) {
    StoreAt(name, value.size(), hint, MoveText(value));
}

void TVariableStore::SetNumber(std::string_view name, std::string&& value, double number,
                               TVariableHint& hint) {
    StoreAt(name, value.size(), hint, [&value, number](TEntry& entry) {
        MoveText(value)(entry);
        entry.number = number;
        entry.numberKnown = true;
        entry.readsAsNumber = true;
    });
}

void TVariableStore::SetNumber(std::string_view name, std::string_view value, double number,
                               TVariableHint& hint) {
    StoreAt(name, value.size(), hint, [value, number](TEntry& entry) {
        CopyText(value)(entry);
        entry.number = number;
        entry.numberKnown = true;
        entry.readsAsNumber = true;
    });
}

void TVariableStore::SetWhole(std::string_view name, double number, TVariableHint& hint) {
    // "-0" reads back as 0.
    const double value = number == 0 ? 0.0 : number;
    const size_t size = WholeTextSize(value);
    StoreAt(name, size, hint, [value, size](TEntry& entry) {
        entry.pendingSize = static_cast<uint8_t>(size);
        entry.number = value;
        entry.numberKnown = true;
        entry.readsAsNumber = true;
        entry.textPending = true;
        entry.wholeText = true;
    });
}

void TVariableStore::TEntry::WritePendingText() const {
    WriteWholeInto(number, text);
    textPending = false;
}

size_t TVariableStore::TextSize(const TEntry& entry) {
    return entry.textPending ? entry.pendingSize : entry.text.size();
}

const std::string* TVariableStore::Find(std::string_view name) const {
    auto it = m_index.find(name);
    return it == m_index.end() ? nullptr : &m_entries[it->second].Text();
}

void TVariableStore::LookUp(std::string_view name, TVariableHint& hint) const {
    auto it = m_index.find(name);
    hint.layout = m_layout;
    hint.index = it == m_index.end() ? SIZE_MAX : it->second;
    hint.exact = it != m_index.end() && m_entries[it->second].name == name;
}

double TVariableStore::NumberOf(const TEntry& entry) {
    if (!entry.numberKnown) {
        const std::optional<double> strict = ParseNumber(entry.Text());
        entry.number = strict ? *strict : LenientNumber(entry.Text());
        entry.readsAsNumber = strict.has_value();
        entry.numberKnown = true;
    }
    return entry.number;
}

std::string TVariableStore::Get(std::string_view name) const {
    const std::string* value = Find(name);
    return value ? *value : std::string();
}

std::vector<std::string> TVariableStore::Lines() const {
    std::vector<std::string> lines;
    lines.reserve(m_entries.size());
    for (const TEntry& entry : m_entries) lines.push_back(entry.name + "=" + entry.Text());
    return lines;
}

void TVariableStore::Remove(size_t index) {
    m_bytes -= m_entries[index].name.size() + TextSize(m_entries[index]);
    m_index.erase(m_entries[index].name);
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& [key, position] : m_index) {
        if (position > index) --position;
    }
    LayoutChanged();
}

}  // namespace korvane::engine
