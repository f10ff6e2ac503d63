#include "host/dm.h"

#include "host/file_io.h"

namespace korvane::host {

TDM::~TDM() {
    if (FileOpen()) CloseFile(m_fileHandle);
}

}  // namespace korvane::host
