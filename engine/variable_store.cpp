#include "engine/variable_store.h"

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

void TVariableStore::Clear() {
    m_entries.clear();
    m_index.clear();
    m_bytes = 0;
}

template <typename TWrite>
void TVariableStore::Store(std::string_view name, size_t size, TWrite&& write) {
    auto it = m_index.find(name);
    if (size == 0) {
        if (it != m_index.end()) Remove(it->second);
        return;
    }
    const size_t before =
        it == m_index.end() ? 0 : name.size() + m_entries[it->second].second.size();
    const size_t total = m_bytes - before + name.size() + size;
    if (total > kMaxScriptData) ThrowScriptDataTooLarge();
    m_bytes = total;
    if (it != m_index.end()) {
        // The entry takes the spelling of the latest assignment, as its text is replaced whole.
        auto& entry = m_entries[it->second];
        if (entry.first != name) {
            const size_t index = it->second;
            m_index.erase(it);
            entry.first = std::string(name);
            m_index.emplace(entry.first, index);
        }
        write(entry.second);
        return;
    }
    m_entries.emplace_back(std::string(name), std::string());
    write(m_entries.back().second);
    m_index.emplace(m_entries.back().first, m_entries.size() - 1);
}

void TVariableStore::Set(std::string_view name, std::string_view value) {
    Store(name, value.size(), [value](std::string& text) {
        const bool inside = value.data() >= text.data() && value.data() < text.data() + text.size();
        // The old text goes before the new one is made, so a large value is never held three
        // times over (old, new and the caller's).
        if (!inside && text.capacity() < value.size()) std::string().swap(text);
        text.assign(value.data(), value.size());
    });
}

void TVariableStore::SetMoved(std::string_view name, std::string&& value) {
    Store(name, value.size(), [&value](std::string& text) { text = std::move(value); });
}

const std::string* TVariableStore::Find(std::string_view name) const {
    auto it = m_index.find(name);
    return it == m_index.end() ? nullptr : &m_entries[it->second].second;
}

void TVariableStore::SetMoved(std::string_view name, std::string&& value, size_t& hint) {
    if (!value.empty() && HintHolds(name, hint) && m_entries[hint].first == name) {
        std::string& text = m_entries[hint].second;
        const size_t total = m_bytes - text.size() + value.size();
        if (total > kMaxScriptData) ThrowScriptDataTooLarge();
        m_bytes = total;
        text = std::move(value);
        return;
    }
    SetMoved(name, std::move(value));
    auto it = m_index.find(name);
    if (it != m_index.end()) hint = it->second;
}

const std::string* TVariableStore::Find(std::string_view name, size_t& hint) const {
    if (HintHolds(name, hint)) return &m_entries[hint].second;
    auto it = m_index.find(name);
    if (it == m_index.end()) return nullptr;
    hint = it->second;
    return &m_entries[hint].second;
}

std::string TVariableStore::Get(std::string_view name) const {
    const std::string* value = Find(name);
    return value ? *value : std::string();
}

std::vector<std::string> TVariableStore::Lines() const {
    std::vector<std::string> lines;
    lines.reserve(m_entries.size());
    for (const auto& [name, value] : m_entries) lines.push_back(name + "=" + value);
    return lines;
}

void TVariableStore::Remove(size_t index) {
    m_bytes -= m_entries[index].first.size() + m_entries[index].second.size();
    m_index.erase(m_entries[index].first);
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& [key, position] : m_index) {
        if (position > index) --position;
    }
}

}  // namespace korvane::engine
