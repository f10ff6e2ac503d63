#pragma once

#include <QSize>
#include <filesystem>

namespace korvane::racks {

// Where the rack window sits on the screen: its outer left and top edges.
struct TRackPosition {
    int left = 0;
    int top = 0;

    friend bool operator==(const TRackPosition&, const TRackPosition&) = default;
};

// What the rack window needs of the program around it: the main window (the workbench) or
// the headless runner. The remembered position lives there because it is written to the
// settings file at exit.
class TRackWindowOwner {
 public:
    virtual ~TRackWindowOwner() = default;
    virtual bool Standalone() const = 0;
    virtual bool RunActive() const = 0;
    // A rack was loaded and shown.
    virtual void SetRackOpen() = 0;
    // Makes the main window visible and brings it to the front.
    virtual void ShowMainWindow() = 0;
    // The running script's stop request.
    virtual void StopRun() = 0;
    // Where a rack window of this outer size is shown when a rack loads.
    virtual TRackPosition RackPosition(QSize frame) const = 0;
    virtual void SetRackPosition(TRackPosition position) = 0;
    // The About window, modally.
    virtual void ShowAbout() = 0;
    // Where a standalone program looks for pictures.
    virtual std::filesystem::path ExecutableFolder() const = 0;
    // Where a standalone program unpacked the racks it carries; empty when it has none.
    virtual std::filesystem::path PackagedRackFolder() const { return {}; }
};

}  // namespace korvane::racks
