#pragma once
// The Windows port list from its two sources, kept free of system calls so
// both builds test it: the device manager's Ports class and the system's
// table of serial devices (SERIALCOMM).
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ports/port_info.h"

namespace lw {

// What the device manager says about one device of the Ports class; absent
// where a value could not be read.
struct DeviceRecord {
  std::optional<std::string> port_name;  // "PortName" of the hardware key
  std::optional<std::string> friendly_name;
  std::optional<std::string> device_description;
  std::optional<std::string> instance_id;
};

// Devices without a COM name are skipped (printer ports and the like); the
// table adds the ports the device manager did not name, without details. The
// result is ordered and without duplicates.
std::vector<PortInfo> build_port_list(const std::vector<DeviceRecord>& devices,
                                      const std::vector<std::string>& table_names);

// A system text: cut at its first NUL; absent when it is not valid UTF-16.
std::optional<std::string> text_from_utf16(std::u16string_view units);

}  // namespace lw
