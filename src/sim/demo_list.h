#pragma once
// The simulated hardware named after "--demo" on the command line.
#include <atomic>
#include <memory>
#include <string_view>
#include <vector>

#include "ports/port_info.h"

namespace lw {

// One entry of the simulator's device table. Copies share the present flag,
// and so does every device opened on the entry.
struct SimulatedPort {
  PortInfo info;
  std::shared_ptr<std::atomic<bool>> present;
};

// Items are separated by ";". An item is "[!]name[=description[=identity]]",
// fields trimmed, "!" meaning the device starts unplugged. The identity is
// "vid:pid:serial": vid and pid are one to four hex digits after an optional
// "+", the serial is the rest. A vid or pid that does not parse drops the USB
// numbers (both or neither) but keeps the serial; an empty serial is absent.
// Items without a name are skipped.
std::vector<SimulatedPort> parse_demo_list(std::string_view text);

}  // namespace lw
