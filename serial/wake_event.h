#pragma once

#include "device_result.h"
#include "unique_fd.h"

namespace korvane::serial {

// An eventfd a reader thread polls beside its device, so other threads can wake it.
class TWakeEvent {
 public:
    TDeviceResult Create();
    void Reset() { m_fd.Reset(); }
    int Fd() const { return m_fd.Get(); }
    // Safe from any thread; a wake nobody has cleared yet is not lost.
    void Wake();
    void Clear();

 private:
    TUniqueFd m_fd;
};

}  // namespace korvane::serial
