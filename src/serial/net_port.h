#pragma once
// A serial port on another machine, shared by a device server over TCP:
// rfc2217://HOST:PORT speaks Telnet with the COM-PORT-OPTION, so the tab's
// settings reach the server's serial line; tcp://HOST:PORT carries the
// bytes as they are, and settings stay in the tab. The port connects on
// the reader thread (Port::connects_later); nothing here touches the
// network before connect().
#include <memory>

#include "ports/port_address.h"
#include "session/port.h"

namespace lw {

// Connecting gives up after this long; a host that does not answer is
// Missing.
inline constexpr int kConnectTimeoutMs = 5000;
// How long a client waits for the server to take or refuse the
// COM-PORT-OPTION before it goes on without serial settings.
inline constexpr int kNegotiationTimeoutMs = 2000;
// A server that ends the connection this soon after taking it is busy with
// another client (ser2net accepts, says so and closes).
inline constexpr int kBusySettleMs = 200;

// address: a network address (rfc2217 or tcp); settings: sent once the
// link is up.
std::unique_ptr<Port> make_net_port(const PortAddress& address, const PortSettings& settings);

}  // namespace lw
