#pragma once

#include "device_result.h"
#include "line_settings.h"

namespace korvane::serial {

// Puts an open tty into raw mode (no echo, no translation, no flow control, no parity
// checking) with the given framing. Any baud rate the driver can produce is accepted;
// one it cannot get within 3 % of, or framing it does not take, is refused and the
// previous settings are restored. A pseudo-terminal has no framing of its own (it always
// carries 8 bits without parity); there the framing is accepted as it is.
// 1.5 stop bits select the same setting as 2: the UART sends 1.5 at 5 data bits and
// 2 otherwise, which is what the hardware can do.
TDeviceResult ConfigureTty(int fd, const TLineSettings& settings);

}  // namespace korvane::serial
