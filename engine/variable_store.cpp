#include "engine/variable_store.h"

#include "engine/text_utils.h"

namespace korvane::engine {

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
}

void TVariableStore::Set(std::string_view name, std::string_view value) {
    auto it = m_index.find(name);
    if (value.empty()) {
        if (it != m_index.end()) Remove(it->second);
        return;
    }
    if (it != m_index.end()) {
        // The entry takes the spelling of the latest assignment, as its text is replaced whole.
        auto& entry = m_entries[it->second];
        if (entry.first != name) {
            const size_t index = it->second;
            m_index.erase(it);
            entry.first = std::string(name);
            m_index.emplace(entry.first, index);
        }
        entry.second = std::string(value);
        return;
    }
    m_entries.emplace_back(std::string(name), std::string(value));
    m_index.emplace(m_entries.back().first, m_entries.size() - 1);
}

const std::string* TVariableStore::Find(std::string_view name) const {
    auto it = m_index.find(name);
    return it == m_index.end() ? nullptr : &m_entries[it->second].second;
}

void TVariableStore::Set(std::string_view name, std::string_view value, size_t& hint) {
    if (!value.empty() && HintHolds(name, hint) && m_entries[hint].first == name) {
        m_entries[hint].second.assign(value);
        return;
    }
    Set(name, value);
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
    m_index.erase(m_entries[index].first);
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& [key, position] : m_index) {
        if (position > index) --position;
    }
}

}  // namespace korvane::engine
