#include "ports/port_address.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

TEST(PortAddress, DevicePathsAndNamesAsTyped) {
  const struct {
    const char* typed;
    const char* text;
  } cases[] = {
      {"/dev/ttyUSB0", "/dev/ttyUSB0"},
      {"  /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0\t\n",
       "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0"},
      {"/dev/pts/7", "/dev/pts/7"},
      {"/tmp/dir with space/ttyV0", "/tmp/dir with space/ttyV0"},
      {"ttyACM0", "ttyACM0"},
      {"COM12", "COM12"},
      {"\\\\.\\CNCA0", "\\\\.\\CNCA0"},
      {"/dev/ttyÜ", "/dev/ttyÜ"},
  };
  for (const auto& c : cases) {
    const Result<PortAddress, AddressError> a = parse_port_address(c.typed);
    ASSERT_TRUE(a.ok()) << c.typed;
    EXPECT_EQ(a->kind, AddressKind::Device) << c.typed;
    EXPECT_EQ(a->text, c.text);
  }
}

TEST(PortAddress, WhatIsNoAddress) {
  const struct {
    std::string typed;
    AddressError error;
  } cases[] = {
      {"", AddressError::Empty},
      {" \t\r\n", AddressError::Empty},
      // Network ports are not spoken yet; an unknown scheme is no path.
      {"rfc2217://lab-pi:4000", AddressError::Unknown},
      {"tcp://[::1]:2000", AddressError::Unknown},
      {"/dev/tty\nUSB0", AddressError::Unknown},
      {std::string("/dev/tty\0USB0", 13), AddressError::Unknown},
      {"/dev/tty\x7f", AddressError::Unknown},
      {"/dev/\xff\xfe", AddressError::Unknown},
  };
  for (const auto& c : cases) {
    const Result<PortAddress, AddressError> a = parse_port_address(c.typed);
    ASSERT_FALSE(a.ok()) << c.typed;
    EXPECT_EQ(a.error(), c.error) << c.typed;
  }
}

}  // namespace
}  // namespace lw
