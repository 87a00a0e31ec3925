#pragma once
// The machine's serial ports, asked afresh on every call (ports_win32.cpp,
// ports_linux.cpp). Never fails: a source that can't be asked adds nothing.
#include <vector>

#include "ports/port_info.h"

namespace lw {

std::vector<PortInfo> list_system_ports();

}  // namespace lw
