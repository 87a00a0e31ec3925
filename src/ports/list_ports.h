#pragma once
// The machine's serial ports, asked afresh on every call (ports_win32.cpp,
// ports_linux.cpp). Never fails: a source that can't be asked adds nothing.
#include <span>
#include <vector>

#include "ports/port_address.h"
#include "ports/port_info.h"

namespace lw {

std::vector<PortInfo> list_system_ports();

// The addresses the user named that lead to a port now, in the given order,
// each marked added (device files on Linux, device names on Windows).
std::vector<PortInfo> find_system_ports(std::span<const PortAddress> addresses);

}  // namespace lw
