#pragma once
// The text a user types to name a port the system does not list. Today that
// is a device: a path such as /dev/ttyUSB0, /dev/serial/by-id/…, /dev/pts/7
// on Linux, or a name such as COM12 or \\.\CNCA0 on Windows. Addresses of
// another kind start with "scheme://" and get a kind of their own.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/result.h"

namespace lw {

enum class AddressKind : uint8_t { Device };

struct PortAddress {
  AddressKind kind = AddressKind::Device;
  std::string text;  // as typed, without white space around it; the port's name
  bool operator==(const PortAddress&) const = default;
};

enum class AddressError : uint8_t {
  Empty,    // nothing but white space
  Unknown,  // a scheme this program does not speak, control characters, broken UTF-8
};

Result<PortAddress, AddressError> parse_port_address(std::string_view typed);

// What the dialog that asks for an address starts with.
#ifdef _WIN32
inline constexpr std::string_view kAddressStart = "";
#else
inline constexpr std::string_view kAddressStart = "/dev/";
#endif

}  // namespace lw
