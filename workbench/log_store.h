#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

namespace korvane::workbench {

// How much the log pane holds before it lets its oldest lines go.
struct TLogBounds {
    std::size_t maxLines = 200'000;
    std::size_t maxBytes = std::size_t{64} << 20;
};

// Every line of the log pane, in full, within its bounds. When a bound is passed the oldest
// lines go in one block (so trimming is rare), and a note at the top says how many went.
// The pane shows these lines; Save log writes them.
class TLogStore {
public:
    explicit TLogStore(TLogBounds bounds = {});

    // Appends one line (no line break in it); gives how many old lines were removed for it.
    std::size_t Append(std::string_view line);
    void Clear();

    // The removal note when lines have gone, then the lines still held.
    std::size_t LineCount() const { return m_lines.size() + (m_removed > 0 ? 1 : 0); }
    const std::string& Line(std::size_t index) const;
    // The lines after the note, and how many went in all since the last Clear.
    std::size_t BodyCount() const { return m_lines.size(); }
    const std::string& BodyLine(std::size_t index) const { return m_lines[index]; }
    std::size_t Removed() const { return m_removed; }
    const std::string& Note() const { return m_note; }
    // Every line ended by LF.
    std::string Bytes() const;

private:
    void Trim();

    TLogBounds m_bounds;
    std::deque<std::string> m_lines;
    std::size_t m_bytes = 0;
    std::size_t m_removed = 0;
    std::string m_note;
};

// "[1234 earlier lines removed ...]": the first line of a pane that has let lines go.
std::string RemovalNote(std::size_t removed);

// What the pane shows for a line: the line itself, or for a very long one its start and a
// note of its full length (Save log and korvane-run keep the whole line).
std::string ShownLine(std::string_view line);

// Lines longer than this many characters are shortened for display.
inline constexpr std::size_t kShownLineLimit = 2000;

}  // namespace korvane::workbench
