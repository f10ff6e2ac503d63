#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/number_text.h"

namespace korvane::engine {

// Names the system itself stores (`error` after every command, `myport` after setport): in a
// script they always mean the variable, never a rack control that happens to share the name.
bool IsSystemVariable(std::string_view name);

// Where a caller that always asks for the same name found it last. It holds while the store's
// layout (which name stands where, and how it is spelt) is the one it was taken in.
struct TVariableHint {
    size_t index = SIZE_MAX;  // SIZE_MAX: the name is not stored
    uint64_t layout = 0;      // 0 never matches: not looked up yet
    bool exact = false;       // the stored spelling is the caller's, byte for byte
};

// The script's one ordered list of variables. Names compare without regard to case; storing
// the empty text removes a variable, and a missing name reads as the empty text. Beside each
// text the store keeps, once known, the number the arithmetic operators read from it.
class TVariableStore {
public:
    struct TEntry {
        std::string name;
        // The text, written out first if the entry holds a whole number not yet written.
        const std::string& Text() const {
            if (textPending) WritePendingText();
            return text;
        }
        // The text is the general format of the whole number `number`.
        bool IsWhole(double value) const { return wholeText && number == value; }

        mutable std::string text;
        mutable double number = 0;
        mutable bool numberKnown = false;
        // Once the number is known: whether the text reads as a number, not only leniently.
        mutable bool readsAsNumber = false;
        // Arithmetic stores whole numbers as numbers; most are never read as text, so the
        // text is written when first asked for.
        mutable bool textPending = false;
        bool wholeText = false;
        // While the text is pending: the length it will have, as the data bound counted it.
        uint8_t pendingSize = 0;

    private:
        void WritePendingText() const;
    };

    TVariableStore();
    void Clear();
    // Both throw the fatal error that names kMaxScriptData when the store would outgrow it.
    void Set(std::string_view name, std::string_view value);
    // Set that takes the text over without a copy.
    void SetMoved(std::string_view name, std::string&& value);
    // Null when the name is not stored.
    const std::string* Find(std::string_view name) const;
    // The same, for callers that come back with the same name: `hint` remembers where the
    // entry was (see TVariableHint).
    void SetMoved(std::string_view name, std::string&& value, TVariableHint& hint);
    void Set(std::string_view name, std::string_view value, TVariableHint& hint);
    // SetMoved for a value whose text reads exactly as `number`.
    void SetNumber(std::string_view name, std::string&& value, double number, TVariableHint& hint);
    void SetNumber(std::string_view name, std::string_view value, double number, TVariableHint& hint);
    // Stores a whole number below 1e15 in magnitude, whose text is its digits.
    void SetWhole(std::string_view name, double number, TVariableHint& hint);
    const TEntry* FindEntry(std::string_view name, TVariableHint& hint) const {
        if (hint.layout != m_layout) LookUp(name, hint);
        return hint.index == SIZE_MAX ? nullptr : &m_entries[hint.index];
    }
    // The number the arithmetic operators read from the entry's text, worked out once.
    static double NumberOf(const TEntry& entry);
    // The number the text reads as strictly, as comparisons read it; none for other texts.
    static std::optional<double> StrictNumberOf(const TEntry& entry) {
        NumberOf(entry);
        return entry.readsAsNumber ? std::optional<double>(entry.number) : std::nullopt;
    }
    std::string Get(std::string_view name) const;
    size_t Size() const { return m_entries.size(); }
    // Entries in store order as "name=value" lines.
    std::vector<std::string> Lines() const;

private:
    struct CaseInsensitiveHash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const;
    };
    struct CaseInsensitiveEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };

    void Remove(size_t index);
    static size_t TextSize(const TEntry& entry);
    // Stores a value of `size` bytes under `name` through `write`, which fills the entry's text.
    template <typename TWrite>
    void Store(std::string_view name, size_t size, TWrite&& write);
    template <typename TWrite>
    void StoreAt(std::string_view name, size_t size, TVariableHint& hint, TWrite&& write);
    void LookUp(std::string_view name, TVariableHint& hint) const;
    // Called whenever a name is added, removed or spelt anew.
    void LayoutChanged();

    std::vector<TEntry> m_entries;
    std::unordered_map<std::string, size_t, CaseInsensitiveHash, CaseInsensitiveEqual> m_index;
    size_t m_bytes = 0;  // names and values together
    uint64_t m_layout = 0;
};

}  // namespace korvane::engine
