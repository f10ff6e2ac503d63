#pragma once

namespace korvane::host {

// The data module: holder of the one open-file slot. It lives as long as the program, so a
// file left open by one run is still open in the next. The slot is an operating-system file
// descriptor; greater than 0 means a file is open.
class TDM {
 public:
    TDM() = default;
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;
    ~TDM();

    int FileHandle() const { return m_fileHandle; }
    bool FileOpen() const { return m_fileHandle > 0; }
    void SetFileHandle(int handle) { m_fileHandle = handle; }

 private:
    int m_fileHandle = 0;
};

}  // namespace korvane::host
