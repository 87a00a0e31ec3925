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
      // A scheme this program does not speak is no path either.
      {"telnet://lab-pi:4000", AddressError::Unknown},
      {"ftp://[::1]:2000", AddressError::Unknown},
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

TEST(PortAddress, NetworkAddressesWithTheirHostAndPort) {
  const struct {
    const char* typed;
    AddressKind kind;
    const char* text;
    const char* host;
    uint16_t port;
  } cases[] = {
      {"rfc2217://lab-pi:4000", AddressKind::Rfc2217, "rfc2217://lab-pi:4000", "lab-pi", 4000},
      {" RFC2217://192.168.7.20:2217 ", AddressKind::Rfc2217, "rfc2217://192.168.7.20:2217",
       "192.168.7.20", 2217},
      {"tcp://[::1]:2000", AddressKind::Tcp, "tcp://[::1]:2000", "::1", 2000},
      {"tcp://[fe80::1:2:3]:07001", AddressKind::Tcp, "tcp://[fe80::1:2:3]:7001", "fe80::1:2:3",
       7001},
      {"tcp://[::ffff:10.0.0.1]:1", AddressKind::Tcp, "tcp://[::ffff:10.0.0.1]:1",
       "::ffff:10.0.0.1", 1},
      {"tcp://[1:2:3:4:5:6:7:8]:65535", AddressKind::Tcp, "tcp://[1:2:3:4:5:6:7:8]:65535",
       "1:2:3:4:5:6:7:8", 65535},
      {"Tcp://moxa_nport.lab.example.:950", AddressKind::Tcp, "tcp://moxa_nport.lab.example.:950",
       "moxa_nport.lab.example.", 950},
  };
  for (const auto& c : cases) {
    const Result<PortAddress, AddressError> a = parse_port_address(c.typed);
    ASSERT_TRUE(a.ok()) << c.typed;
    EXPECT_EQ(a->kind, c.kind) << c.typed;
    EXPECT_EQ(a->text, c.text);
    EXPECT_EQ(a->host, c.host);
    EXPECT_EQ(a->port, c.port);
    // The name reads back to the same address.
    const Result<PortAddress, AddressError> again = parse_port_address(a->text);
    ASSERT_TRUE(again.ok()) << a->text;
    EXPECT_EQ(*again, *a);
    EXPECT_TRUE(is_network_address(a->text));
  }
  EXPECT_EQ(host_and_port(*parse_port_address("rfc2217://[::1]:4000")), "[::1]:4000");
  EXPECT_FALSE(is_network_address("/dev/ttyUSB0"));
}

TEST(PortAddress, MalformedNetworkAddressesSayWhatIsWrong) {
  const struct {
    const char* typed;
    AddressError error;
  } cases[] = {
      {"rfc2217://", AddressError::BadHost},
      {"tcp://:2000", AddressError::BadHost},
      {"tcp://::1:2000", AddressError::BadHost},  // IPv6 needs its brackets
      {"tcp://[::1:2000", AddressError::BadHost},
      {"tcp://[1::2::3]:2000", AddressError::BadHost},
      {"tcp://[1:2:3:4:5:6:7:8:9]:2000", AddressError::BadHost},
      {"tcp://[12345::1]:2000", AddressError::BadHost},
      {"tcp://256.1.1.1:2000", AddressError::BadHost},
      {"tcp://10.0.0:2000", AddressError::BadHost},
      {"tcp://-pi:2000", AddressError::BadHost},
      {"tcp://lab pi:2000", AddressError::BadHost},
      {"tcp://labör:2000", AddressError::BadHost},
      {"tcp://a..b:2000", AddressError::BadHost},
      {"tcp://lab-pi", AddressError::BadPort},
      {"tcp://lab-pi:", AddressError::BadPort},
      {"tcp://lab-pi:0", AddressError::BadPort},
      {"tcp://lab-pi:65536", AddressError::BadPort},
      {"tcp://lab-pi:20x", AddressError::BadPort},
      {"tcp://lab-pi:2000/", AddressError::BadPort},
      {"tcp://[::1]", AddressError::BadPort},
      {"tcp://[::1]2000", AddressError::BadPort},
      {"tcp://lab-pi:99999999", AddressError::BadPort},
  };
  for (const auto& c : cases) {
    const Result<PortAddress, AddressError> a = parse_port_address(c.typed);
    ASSERT_FALSE(a.ok()) << c.typed;
    EXPECT_EQ(a.error(), c.error) << c.typed;
  }
}

}  // namespace
}  // namespace lw
