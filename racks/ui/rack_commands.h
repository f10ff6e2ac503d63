#pragma once

#include "engine/dispatch.h"
#include "racks/ui/frm_rack.h"

namespace korvane::racks {

// The rack commands openrack, saverack, capturerack, loadimage, ddown_settext and setvisible
// and the function ddown_gettext, all working on the one rack window.
void BindRackCommands(engine::TDispatch& dispatch, TFrmRack& rack);

// The texts the commands log.
inline constexpr char kCannotOpenRack[] = "Cannot open rack";
inline constexpr char kCaptureNotVisible[] =
    "Rack image was not saved. Not visible or quality parameter not good.";
inline constexpr char kCaptureFailed[] =
    "Rack image was not saved. Maybe quality parameter is not good.";
inline constexpr char kNoRackToSave[] = "Rack was not saved. No rack is open.";

}  // namespace korvane::racks
