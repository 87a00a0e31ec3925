#include <gtest/gtest.h>
#include <stdlib.h>

#include <fstream>

#include "ports/port_list.h"
#include "ports/sysfs_ports.h"
#include "serial/pty_pair.h"

namespace lw {
namespace {

namespace fs = std::filesystem;

// A small /sys: the tty class links to device folders the way the kernel
// lays them out.
class SysfsFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "lw-sysfs-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    root_ = tmpl;
    fs::create_directories(root_ / "class" / "tty");
  }
  void TearDown() override { fs::remove_all(root_); }

  fs::path dir(const fs::path& rel) {
    fs::create_directories(root_ / rel);
    return root_ / rel;
  }
  void file(const fs::path& rel, const std::string& text) {
    fs::create_directories((root_ / rel).parent_path());
    std::ofstream(root_ / rel, std::ios::binary) << text;
  }
  void link(const fs::path& rel_link, const fs::path& rel_target) {
    const fs::path at = root_ / rel_link;
    fs::create_directories(at.parent_path());
    dir(rel_target);
    fs::create_directory_symlink(fs::relative(root_ / rel_target, at.parent_path()), at);
  }
  // A USB device with its attributes.
  void usb_device(const fs::path& rel, const char* vid, const char* pid, const char* product,
                  const char* serial) {
    file(rel / "idVendor", std::string(vid) + "\n");
    file(rel / "idProduct", std::string(pid) + "\n");
    if (product) file(rel / "product", std::string(product) + "\n");
    if (serial) file(rel / "serial", std::string(serial) + "\n");
  }
  // A tty class device under parent (the device the tty's "device" link
  // names), driven by driver.
  fs::path tty(const fs::path& parent, const std::string& name, const std::string& bus,
               const std::string& driver) {
    const fs::path self = parent / "tty" / name;
    dir(self);
    link(self / "device", parent);
    if (!driver.empty()) link(parent / "driver", fs::path("bus") / bus / "drivers" / driver);
    link(fs::path("class") / "tty" / name, self);
    return self;
  }
  void virtual_tty(const std::string& name) {
    const fs::path self = fs::path("devices") / "virtual" / "tty" / name;
    file(self / "dev", "4:1\n");
    link(fs::path("class") / "tty" / name, self);
  }

  // An entry of the kernel's list: its node is /dev/<name>.
  static PortInfo entry(PortInfo p) {
    p.node = "/dev/" + p.name;
    return p;
  }

  fs::path root_;
};

TEST_F(SysfsFixture, KeepsRealPortsWithTheirUsbDetails) {
  const fs::path hub = "devices/pci0000:00/0000:00:14.0/usb1";
  usb_device(hub, "1d6b", "0002", "xHCI Host Controller", "0000:00:14.0");

  // An FTDI adapter: the usb-serial port sits below the interface.
  usb_device(hub / "1-1", "0403", "6001", "FT232R USB UART", "A50285BI");
  tty(hub / "1-1" / "1-1:1.0" / "ttyUSB0", "ttyUSB0", "usb-serial", "ftdi_sio");

  // A CH340 without serial number or product string: the driver names it.
  usb_device(hub / "1-4", "1a86", "7523", nullptr, nullptr);
  tty(hub / "1-4" / "1-4:1.0" / "ttyUSB1", "ttyUSB1", "usb-serial", "ch341-uart");

  // A composite probe with two CDC ACM ports behind one serial number.
  usb_device(hub / "1-2", "2e8a", "000c", "Debugprobe", "E66038B7");
  tty(hub / "1-2" / "1-2:1.0", "ttyACM0", "usb", "cdc_acm");
  dir(hub / "1-2" / "1-2:1.1");
  tty(hub / "1-2" / "1-2:1.3", "ttyACM1", "usb", "cdc_acm");
  dir(hub / "1-2" / "1-2:1.4");

  // A board whose control and data interfaces make a single ACM port.
  usb_device(hub / "1-3", "2341", "0043", "Arduino Uno", "5573932393735151F0C1");
  tty(hub / "1-3" / "1-3:1.0", "ttyACM2", "usb", "cdc_acm");
  dir(hub / "1-3" / "1-3:1.1");

  // A UART that answers, on the PNP bus.
  const fs::path uart = tty("devices/pnp0/00:01", "ttyS0", "pnp", "serial");
  file(uart / "type", "4\n");
  file(uart / "port", "0x3F8\n");

  // 8250 placeholders: unknown type, or no I/O port and no memory.
  const fs::path s8250 = "devices/platform/serial8250";
  const fs::path s1 = tty(s8250, "ttyS1", "platform", "serial8250");
  file(s1 / "type", "0\n");
  file(s1 / "port", "0x2F8\n");
  const fs::path s2 = tty(s8250, "ttyS2", "platform", "");
  file(s2 / "type", "4\n");
  file(s2 / "port", "0x0\n");
  file(s2 / "iomem_base", "0x0\n");
  // A legacy port on the same platform device that does exist.
  const fs::path s3 = tty(s8250, "ttyS3", "platform", "");
  file(s3 / "type", "4\n");
  file(s3 / "port", "0x2E8\n");
  file(s3 / "iomem_base", "0x0\n");

  // Consoles, the pty master and a Bluetooth link are virtual; only the
  // Bluetooth link is a port.
  virtual_tty("tty0");
  virtual_tty("tty1");
  virtual_tty("console");
  virtual_tty("ptmx");
  virtual_tty("rfcomm0");

  // The hardware database knows the CH340 by its ids.
  const UsbNameLookup names = [](UsbId id) -> std::optional<std::string> {
    if (id == UsbId{0x1A86, 0x7523}) return "CH340 serial converter";
    return std::nullopt;
  };
  const std::vector<PortInfo> ports = list_sysfs_ports(root_, names);
  const std::string builtin = "Built-in serial port";  // never the driver's name
  const std::vector<PortInfo> want = {
      entry({"rfcomm0", "", std::nullopt, std::nullopt}),
      entry({"ttyACM0", "Debugprobe", std::nullopt, UsbId{0x2E8A, 0x000C}}),
      entry({"ttyS0", builtin, std::nullopt, std::nullopt}),
      entry({"ttyUSB0", "FT232R USB UART", "A50285BI", UsbId{0x0403, 0x6001}}),
      entry({"ttyACM1", "Debugprobe", std::nullopt, UsbId{0x2E8A, 0x000C}}),
      entry({"ttyUSB1", "CH340 serial converter", std::nullopt, UsbId{0x1A86, 0x7523}}),
      entry({"ttyACM2", "Arduino Uno", "5573932393735151F0C1", UsbId{0x2341, 0x0043}}),
      entry({"ttyS3", builtin, std::nullopt, std::nullopt}),
  };
  EXPECT_EQ(ports, want);
  if (ports.size() == want.size()) {
    EXPECT_EQ(device_key(ports[1]), "2E8A:000C@ttyACM0");
    EXPECT_EQ(device_key(ports[3]), "0403:6001:A50285BI");
    EXPECT_EQ(device_key(ports[6]), "2341:0043:5573932393735151F0C1");
  }
  // Without the database the driver names what has no product string.
  EXPECT_EQ(list_sysfs_ports(root_)[5].description, "ch341-uart");
}

TEST_F(SysfsFixture, BrokenAttributesCountAsAbsent) {
  usb_device("devices/usb1/1-1", "04O3", "6001", "\xff\xfe", "");
  tty("devices/usb1/1-1/1-1:1.0/ttyUSB0", "ttyUSB0", "usb-serial", "ftdi_sio");
  const std::vector<PortInfo> want = {entry({"ttyUSB0", "ftdi_sio", std::nullopt, std::nullopt})};
  EXPECT_EQ(list_sysfs_ports(root_), want);
}

TEST_F(SysfsFixture, NoTreeNoPorts) {
  EXPECT_TRUE(list_sysfs_ports(root_).empty());
  EXPECT_TRUE(list_sysfs_ports(root_ / "missing").empty());
}

// Paths the user typed, over real files: a pseudo-terminal and a link to it,
// a link to a character device the (fixture) kernel lists as a USB port,
// and what is no device or is not there.
TEST_F(SysfsFixture, PathsLeadToTheirDeviceFiles) {
  test::PtyPair pty;
  ASSERT_TRUE(pty.ok());
  // /dev/null stands in for a kernel tty: the fixture lists "null".
  usb_device("devices/usb1/1-1", "0403", "6001", "FT232R USB UART", "A50285BI");
  tty("devices/usb1/1-1/1-1:1.0/null", "null", "usb-serial", "ftdi_sio");
  const fs::path links = dir("by-id");
  fs::create_symlink(pty.path(), links / "pty-link");
  fs::create_symlink("/dev/null", links / "usb-FTDI-if00-port0");
  fs::create_symlink(links / "gone", links / "dangling");
  file("plain", "not a device\n");

  const auto at = [&](const fs::path& p) { return PortAddress{AddressKind::Device, p.string()}; };
  const std::vector<PortAddress> typed = {
      at(links / "usb-FTDI-if00-port0"),
      at(pty.path()),
      at(links / "pty-link"),
      at(links / "dangling"),
      at(root_ / "plain"),
      at(links / "missing"),
      at(root_ / "by-id"),
  };
  const std::vector<PortInfo> found = find_path_ports(typed, root_);
  ASSERT_EQ(found.size(), 3u);
  EXPECT_EQ(found[0].name, typed[0].text);
  EXPECT_EQ(found[0].node, "/dev/null");
  EXPECT_EQ(found[0].description, "FT232R USB UART");
  EXPECT_EQ(found[0].serial, "A50285BI");
  EXPECT_EQ(found[0].usb_id, (UsbId{0x0403, 0x6001}));
  // The by-id link shares the kernel port's identity.
  EXPECT_EQ(device_key(found[0]), "0403:6001:A50285BI");
  for (const PortInfo& p : found) EXPECT_TRUE(p.added) << p.name;
  // Pseudo-terminals have no kernel entry: a name and a node, nothing else.
  EXPECT_EQ(found[1].name, pty.path());
  EXPECT_EQ(found[1].node, pty.path());
  EXPECT_EQ(found[1].description, "");
  EXPECT_EQ(found[2].name, typed[2].text);
  EXPECT_EQ(found[2].node, pty.path());
  EXPECT_EQ(device_key(found[2]), typed[2].text);
}

TEST(UsbDatabase, NamesAdaptersByTheirIds) {
  if (!fs::exists("/usr/lib/udev/hwdb.bin") && !fs::exists("/etc/udev/hwdb.bin")) {
    GTEST_SKIP() << "no udev hardware database here";
  }
  const UsbNameLookup names = usb_database();
  const std::optional<std::string> ftdi = names(UsbId{0x0403, 0x6001});
  ASSERT_TRUE(ftdi.has_value());
  EXPECT_NE(ftdi->find("FT232"), std::string::npos) << *ftdi;
  // A vendor the database knows, a product it doesn't: the vendor's name.
  const std::optional<std::string> vendor = names(UsbId{0x0403, 0xFFFE});
  ASSERT_TRUE(vendor.has_value());
  EXPECT_NE(vendor->find("Future Technology"), std::string::npos) << *vendor;
  EXPECT_FALSE(names(UsbId{0xFFFF, 0xFFFE}).has_value());
}

}  // namespace
}  // namespace lw
