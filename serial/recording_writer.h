#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "unique_fd.h"

namespace korvane::serial {

// Appends lines to a recording file through a buffer that is written out when it grows,
// at least once a second while lines wait in it, and at Close: a crash loses at most the
// last second. Append may be called from any thread.
class TRecordingWriter {
 public:
    TRecordingWriter() = default;
    ~TRecordingWriter();
    TRecordingWriter(const TRecordingWriter&) = delete;
    TRecordingWriter& operator=(const TRecordingWriter&) = delete;

    using TFailureHandler = std::function<void(const std::string&)>;

    // Creates or empties the file; the reason when it cannot be written. `onFailure` hears
    // once of the first write that fails later.
    std::string Open(const std::string& path, TFailureHandler onFailure = {});
    bool IsOpen() const;
    void Append(std::string_view line);
    // Writes what is buffered and closes the file; the reason of the first failed write
    // since Open, or empty.
    std::string Close();

 private:
    void FlushLoop();
    // Expects the lock; leaves a failure in m_failure.
    void WriteOutLocked();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    TUniqueFd m_file;
    std::string m_path;
    std::string m_buffer;
    std::string m_failure;
    TFailureHandler m_onFailure;
    bool m_stop = false;
    std::thread m_flusher;
};

}  // namespace korvane::serial
