#pragma once
// The text a user types to name a port the system does not list: a device
// (a path such as /dev/ttyUSB0, /dev/serial/by-id/…, /dev/pts/7 on Linux,
// or a name such as COM12 or \\.\CNCA0 on Windows), or a serial port shared
// over the network by a device server: rfc2217://HOST:PORT (Telnet with the
// COM-PORT-OPTION) or tcp://HOST:PORT (the bytes as they are).
#include <cstdint>
#include <string>
#include <string_view>

#include "base/result.h"

namespace lw {

enum class AddressKind : uint8_t { Device, Rfc2217, Tcp };

struct PortAddress {
  AddressKind kind = AddressKind::Device;
  // As typed, without white space around it (a network address with its
  // scheme in lower case and its port without leading zeros): the port's name.
  std::string text;
  // Network kinds: the host as typed (an IPv6 address without its brackets)
  // and the TCP port.
  std::string host = {};
  uint16_t port = 0;
  bool operator==(const PortAddress&) const = default;
};

enum class AddressError : uint8_t {
  Empty,    // nothing but white space
  Unknown,  // a scheme this program does not speak, control characters, broken UTF-8
  BadHost,  // a network address whose host is no name or IP address
  BadPort,  // a network address without a port from 1 to 65535
};

Result<PortAddress, AddressError> parse_port_address(std::string_view typed);

inline bool is_network(AddressKind kind) { return kind != AddressKind::Device; }
// Whether the name is a network address (rfc2217:// or tcp://) that parses.
bool is_network_address(std::string_view name);
// HOST:PORT of a network address, an IPv6 host in brackets: what the texts
// about reaching it name.
std::string host_and_port(const PortAddress& address);

// What the dialog that asks for an address starts with.
#ifdef _WIN32
inline constexpr std::string_view kAddressStart = "";
#else
inline constexpr std::string_view kAddressStart = "/dev/";
#endif

}  // namespace lw
