// The system's port list on Windows: whatever is present, it is ordered and
// names each port once.
#include <gtest/gtest.h>

#include <iostream>

#include "ports/list_ports.h"
#include "ports/port_list.h"

namespace lw {
namespace {

TEST(PortsWin32, SystemListIsOrderedAndUnique) {
  const std::vector<PortInfo> ports = list_system_ports();
  std::vector<PortInfo> ordered = ports;
  order_ports(ordered);
  EXPECT_EQ(ports, ordered);
  for (const PortInfo& p : ports) {
    EXPECT_FALSE(p.name.empty());
    if (p.serial) {
      EXPECT_FALSE(p.serial->empty());
    }
    std::cout << "  " << display_name(p) << "  key " << device_key(p) << "\n";
  }
}

}  // namespace
}  // namespace lw
