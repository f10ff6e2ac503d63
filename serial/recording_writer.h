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

// Appends lines to a recording through a buffer that is written out when it grows and at
// least once a second while lines wait in it. The lines go to a new, unnamed file in the
// target's folder that takes the target's name only at a Close after which every line is
// on disk: until then an earlier file of that name (or a link there) stays as it was, and
// a crash or a full disk leaves nothing half written behind. Append may be called from any
// thread.
class TRecordingWriter {
 public:
    TRecordingWriter() = default;
    ~TRecordingWriter();
    TRecordingWriter(const TRecordingWriter&) = delete;
    TRecordingWriter& operator=(const TRecordingWriter&) = delete;

    using TFailureHandler = std::function<void(const std::string&)>;

    // Starts the new file; the reason when it cannot be written. `onFailure` hears once of
    // the first write that fails later.
    std::string Open(const std::string& path, TFailureHandler onFailure = {});
    bool IsOpen() const;
    void Append(std::string_view line);
    // Writes what is buffered and puts the file in the target's place; the reason of the
    // first failure since Open (the target is then left alone), or empty.
    std::string Close();

 private:
    void FlushLoop();
    // Expects the lock; leaves a failure in m_failure.
    void WriteOutLocked();
    void FailLocked(const std::string& what, int error);
    // Expects the lock; gives the new file the target's name.
    void PublishLocked();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    TUniqueFd m_folder;
    TUniqueFd m_file;
    std::string m_path;
    std::string m_name;       // the target's name inside m_folder
    std::string m_namedTemp;  // the new file's name where the system has no unnamed files
    std::string m_buffer;
    std::string m_failure;
    TFailureHandler m_onFailure;
    bool m_stop = false;
    std::thread m_flusher;
};

}  // namespace korvane::serial
