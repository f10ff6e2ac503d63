#pragma once

#include "engine/dispatch.h"

namespace korvane::net {

class TTcpEndpoints;

// The script's TCP words: tcp_open, tcp_close, tcp_write, tcp_flush and their tcp_srv_
// counterparts, and the functions tcp_read, tcp_srv_read, tcp_srv_hasclient, tcp_isconnected.
void BindTcpCommands(engine::TDispatch& dispatch, TTcpEndpoints& endpoints);

}  // namespace korvane::net
