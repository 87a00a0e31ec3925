#include "ports/port_list.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

PortInfo usb(std::string name, uint16_t vid, uint16_t pid, std::optional<std::string> serial = {},
             std::string description = {}) {
  return PortInfo{std::move(name), std::move(description), std::move(serial), UsbId{vid, pid}};
}

PortInfo plain(std::string name, std::string description = {}) {
  return PortInfo{std::move(name), std::move(description), {}, {}};
}

std::vector<std::string> names_of(const std::vector<PortInfo>& ports) {
  std::vector<std::string> out;
  for (const PortInfo& p : ports) out.push_back(p.name);
  return out;
}

TEST(DeviceKey, ByWhatIsKnown) {
  EXPECT_EQ(device_key(usb("COM3", 0x2341, 0x0043, "5573932393735151F0C1")),
            "2341:0043:5573932393735151F0C1");
  EXPECT_EQ(device_key(usb("COM5", 0x1a86, 0x7523)), "1A86:7523@COM5");
  EXPECT_EQ(device_key(usb("COM5", 0x00ab, 0x0001, "abc")), "00AB:0001:abc");
  EXPECT_EQ(device_key(plain("COM7", "Bluetooth")), "COM7");
}

TEST(DisplayName, DescriptionThenName) {
  EXPECT_EQ(display_name(plain("COM3", "USB Serial Device")), "USB Serial Device (COM3)");
  EXPECT_EQ(display_name(plain("COM3")), "COM3");
  EXPECT_EQ(display_name(plain("COM3", "COM3")), "COM3");
  EXPECT_EQ(display_name(plain("COM3", "com3")), "com3 (COM3)");
}

TEST(ModelKey, OnlyForUsbKeys) {
  const struct {
    const char* key;
    std::optional<std::string> want;
  } cases[] = {
      {"2341:0043:5573932393735151F0C1", "2341:0043"},
      {"2341:0043:SER1", "2341:0043"},
      {"1A86:7523@COM5", "1A86:7523"},
      {"1a86:7523@COM5", "1a86:7523"},
      {"2341:0043", "2341:0043"},
      {"COM7", std::nullopt},
      {"ttyUSB0", std::nullopt},
      {"", std::nullopt},
      {"234:0043:X", std::nullopt},
      {"2341:043:X", std::nullopt},
      {"2341:00430:X", std::nullopt},
      {"G341:0043:X", std::nullopt},
      {"2341:004G@COM1", std::nullopt},
      {"COM1@2341", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(model_key(c.key), c.want) << c.key;
  // Two boards of one model share it; a bare port name has none.
  EXPECT_EQ(model_key(device_key(usb("COM3", 0x2341, 0x0043, "SER2"))), "2341:0043");
  EXPECT_EQ(model_key(device_key(usb("COM4", 0x2341, 0x0043))), "2341:0043");
  EXPECT_EQ(model_key(device_key(plain("COM7"))), std::nullopt);
}

TEST(PortOrder, Number) {
  const struct {
    const char* name;
    uint32_t want;
  } cases[] = {
      {"COM1", 1},
      {"COM10", 10},
      {"CNCA0", 0},
      {"ttyUSB12", 12},
      {"COM007", 7},
      {"BTHPORT", 4294967295u},
      {"COM3A", 4294967295u},
      {"COM4294967295", 4294967295u},
      {"COM4294967296", 4294967295u},
      {"COM4294967294", 4294967294u},
      {"", 4294967295u},
      {"1", 1},
  };
  for (const auto& c : cases) EXPECT_EQ(port_order_number(c.name), c.want) << c.name;
}

TEST(PortOrder, SortsByNumberThenBytesAndDropsNeighbourDuplicates) {
  std::vector<PortInfo> ports = {plain("COM10"), plain("COM2"),  plain("com2"),
                                 plain("COM1"),  plain("CNCA0"), plain("BTHPORT")};
  order_ports(ports);
  EXPECT_EQ(names_of(ports),
            (std::vector<std::string>{"CNCA0", "COM1", "COM2", "COM10", "BTHPORT"}));

  std::vector<PortInfo> more = {
      plain("COM3A"), plain("COM3", "first"), plain("COM30"), plain("COM3", "second"),
      plain("COM"),   plain("COM03"),         plain("COMX")};
  order_ports(more);
  EXPECT_EQ(names_of(more),
            (std::vector<std::string>{"COM03", "COM3", "COM30", "COM", "COM3A", "COMX"}));
  EXPECT_EQ(more[1].description, "first");  // stable: the first of equal names is kept
}

TEST(PortsNotIn, ArrivedAndGone) {
  // The same board moved from COM3 to COM8: gone from COM3, arrived on COM8,
  // one key for both.
  const std::vector<PortInfo> old_scan = {plain("COM1"), usb("COM3", 0x2341, 0x0043, "X1")};
  const std::vector<PortInfo> new_scan = {plain("COM1"), usb("COM8", 0x2341, 0x0043, "X1")};
  const auto gone = ports_not_in(old_scan, new_scan);
  const auto arrived = ports_not_in(new_scan, old_scan);
  ASSERT_EQ(names_of(gone), std::vector<std::string>{"COM3"});
  ASSERT_EQ(names_of(arrived), std::vector<std::string>{"COM8"});
  EXPECT_EQ(device_key(gone[0]), device_key(arrived[0]));
  EXPECT_EQ(arrived[0], new_scan[1]);
}

TEST(PortsNotIn, AnotherDeviceOnTheSameName) {
  const std::vector<PortInfo> a = {usb("COM3", 0x2341, 0x0043, "X1")};
  const std::vector<PortInfo> b = {usb("COM3", 0x2341, 0x0043, "X2")};
  EXPECT_EQ(ports_not_in(a, b).size(), 1u);
  EXPECT_EQ(ports_not_in(b, a).size(), 1u);
  // Names match without case; keys byte for byte.
  EXPECT_TRUE(ports_not_in(a, {usb("com3", 0x2341, 0x0043, "X1")}).empty());
  EXPECT_EQ(ports_not_in(a, {usb("com3", 0x2341, 0x0043, "x1")}).size(), 1u);
  // The key alone is not enough: the name must match too.
  EXPECT_EQ(ports_not_in({plain("COM3")}, {plain("COM4")}).size(), 1u);
  // Several entries of b with the name: any equal key counts.
  EXPECT_TRUE(ports_not_in(a, {plain("COM3"), usb("COM3", 0x2341, 0x0043, "X1")}).empty());
  EXPECT_TRUE(ports_not_in({}, a).empty());
}

TEST(PortsNotIn, ALinkThatLeadsToAnotherDevice) {
  // A by-id path after a re-plug: the same name and key, another device
  // file. It went and came, so a lost tab on it is reopened.
  PortInfo before = usb("/dev/serial/by-id/usb-FTDI-if00-port0", 0x0403, 0x6001, "A5");
  before.node = "/dev/ttyUSB0";
  before.added = true;
  PortInfo after = before;
  after.node = "/dev/ttyUSB1";
  EXPECT_EQ(ports_not_in({before}, {after}).size(), 1u);
  EXPECT_EQ(ports_not_in({after}, {before}).size(), 1u);
  EXPECT_TRUE(ports_not_in({after}, {after}).empty());
}

}  // namespace
}  // namespace lw
