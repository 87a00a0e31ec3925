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
  std::string name;                   // COM3, ttyUSB0; the entry's key
  std::string description;            // may be empty
  std::optional<std::string> serial;  // never empty when present
  std::optional<UsbId> usb_id;
  bool operator==(const PortInfo&) const = default;
};

}  // namespace lw
