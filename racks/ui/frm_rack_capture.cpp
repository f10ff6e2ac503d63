// The rack window's capture to a JPEG file.
#include <QImage>

#include "racks/rack_file.h"
#include "racks/ui/frm_rack.h"
#include "racks/ui/jpeg_writer.h"
#include "racks/ui/window_capture.h"

namespace korvane::racks {

void TFrmRack::SetStayOnTop(bool onTop) {
    const bool rebuilding = m_rebuilding;
    m_rebuilding = true;  // changing the flag hides the window for a moment
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    show();
    m_rebuilding = rebuilding;
}

TStatus TFrmRack::Capture(const std::filesystem::path& file, int quality) {
    RestoreIfMinimized(*this);
    SetStayOnTop(true);
    BringToFront(*this);
    WaitUntilExposed(*this);
    // Without a window manager the minimised state can come back once the window is mapped.
    RestoreIfMinimized(*this);
    const QImage pixels = GrabScreenPixels(*this);
    SetStayOnTop(false);
    RestoreIfMinimized(*this);
    if (pixels.isNull()) return TStatus::Failure("the window has no pixels on the screen");
    TResult<std::string> jpeg = EncodeJpeg(pixels, quality);
    if (!jpeg) return TStatus::Failure(jpeg.Error());
    return WriteFileBytes(file, jpeg.Value());
}

}  // namespace korvane::racks
