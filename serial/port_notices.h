#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace korvane::serial {

// What recorded and replayed ports have to tell the program beyond a failed call: why a
// port would not open or a recording could not be written, and where a replay parted from
// the script. Everything is passed on at once; the partings and the recordings that could
// not be written are also kept, for the exit code at the end of the run. Safe from any
// thread.
class TPortNotices {
 public:
    using TListener = std::function<void(const std::string&)>;

    // Called with every note, on whichever thread notes it.
    void SetListener(TListener listener);
    void Note(const std::string& text);
    void AddMismatch(const std::string& text);
    std::vector<std::string> Mismatches() const;
    void AddRecordingFailure(const std::string& text);
    std::vector<std::string> RecordingFailures() const;

 private:
    void Keep(std::vector<std::string>& list, const std::string& text);
    std::vector<std::string> Copy(const std::vector<std::string>& list) const;

    mutable std::mutex m_mutex;
    TListener m_listener;
    std::vector<std::string> m_mismatches;
    std::vector<std::string> m_recordingFailures;
};

}  // namespace korvane::serial
