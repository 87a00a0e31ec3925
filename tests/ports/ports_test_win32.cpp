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

// A name typed into "Open a device by path…" is there while the system has a
// DOS device of that name (NUL always), with or without the \\.\ prefix.
TEST(PortsWin32, TypedNamesAreFoundWhileTheyExist) {
  const std::vector<PortAddress> typed = {
      {AddressKind::Device, "LWNoSuchPort7"},
      {AddressKind::Device, "NUL"},
      {AddressKind::Device, "\\\\.\\NUL"},
      {AddressKind::Device, "\\\\.\\"},
  };
  const std::vector<PortInfo> found = find_system_ports(typed);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].name, "NUL");
  EXPECT_EQ(found[1].name, "\\\\.\\NUL");
  for (const PortInfo& p : found) {
    EXPECT_TRUE(p.added);
    EXPECT_TRUE(p.node.empty());
  }
}

}  // namespace
}  // namespace lw
