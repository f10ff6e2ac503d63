#pragma once

namespace korvane::host {

// What showmain and hidemain do to the main window. The workbench shows and hides its
// window; the headless runner has none to show.
class TWindowActions {
 public:
    virtual ~TWindowActions() = default;
    // Makes the main window visible and brings it to the front.
    virtual void ShowMain() = 0;
    virtual void HideMain() = 0;
};

}  // namespace korvane::host
