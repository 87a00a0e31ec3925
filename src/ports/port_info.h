#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace lw {

struct UsbId {
  uint16_t vid = 0;
  uint16_t pid = 0;
  bool operator==(const UsbId&) const = default;
};

// One entry of the port list.
struct PortInfo {
  PortInfo() = default;
  // The four facts every system gives, in this order.
  PortInfo(std::string port_name, std::string text, std::optional<std::string> serial_number = {},
           std::optional<UsbId> usb = {})
      : name(std::move(port_name)),
        description(std::move(text)),
        serial(std::move(serial_number)),
        usb_id(usb) {}

  std::string name;                   // COM3, ttyUSB0, or the address the user typed; the key
  std::string description;            // may be empty
  std::optional<std::string> serial;  // never empty when present
  std::optional<UsbId> usb_id;
  // The device file the entry leads to now (/dev/ttyUSB1 for a by-id link),
  // where the system has such files; empty elsewhere.
  std::string node;
  // Named by the user (a path typed into the window or given on the command
  // line) rather than listed by the system: its identity is that name.
  bool added = false;
  bool operator==(const PortInfo&) const = default;
};

}  // namespace lw
