#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvane::net {

// The bytes one endpoint has received and the script has not flushed yet. It is capped: an
// endpoint stops reading its socket while the buffer is full, so a peer that floods data is
// held back by TCP flow control instead of filling memory, and nothing is lost.
class TReceiveBuffer {
 public:
    static constexpr size_t kLimit = size_t{4} * 1024 * 1024;

    const std::string& Text() const { return m_text; }
    size_t Room() const { return m_text.size() < kLimit ? kLimit - m_text.size() : 0; }
    void Append(std::string_view bytes) { m_text.append(bytes); }
    void Clear() { m_text.clear(); }
    // Removes the first `count` characters: all of them when `count` exceeds the length,
    // none when it is zero or negative.
    void RemoveFirst(int64_t count);

 private:
    std::string m_text;
};

}  // namespace korvane::net
