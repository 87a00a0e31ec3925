#include "ports/port_scan.h"

#include <algorithm>

#include "base/utf8.h"
#include "ports/instance_id.h"
#include "ports/port_list.h"

namespace lw {

std::vector<PortInfo> build_port_list(const std::vector<DeviceRecord>& devices,
                                      const std::vector<std::string>& table_names) {
  std::vector<PortInfo> ports;
  for (const DeviceRecord& d : devices) {
    if (!d.port_name || d.port_name->size() < 3 ||
        !same_port_name(d.port_name->substr(0, 3), "COM")) {
      continue;
    }
    PortInfo p;
    p.name = *d.port_name;
    if (d.friendly_name && !d.friendly_name->empty()) {
      p.description = clean_description(*d.friendly_name, p.name);
    } else if (d.device_description) {
      p.description = clean_description(*d.device_description, p.name);
    }
    if (d.instance_id) {
      p.usb_id = usb_id_from_instance_id(*d.instance_id);
      p.serial = serial_from_instance_id(*d.instance_id);
    }
    ports.push_back(std::move(p));
  }

  const size_t from_devices = ports.size();
  for (const std::string& name : table_names) {
    if (name.empty()) continue;
    const auto end = ports.begin() + static_cast<std::ptrdiff_t>(from_devices);
    const bool known = std::any_of(ports.begin(), end,
                                   [&](const PortInfo& p) { return same_port_name(p.name, name); });
    if (!known) ports.push_back(PortInfo{name, {}, {}, {}});
  }

  order_ports(ports);
  return ports;
}

std::optional<std::string> text_from_utf16(std::u16string_view units) {
  units = units.substr(0, units.find(u'\0'));
  for (size_t i = 0; i < units.size(); ++i) {
    const char16_t u = units[i];
    if (u >= 0xD800 && u <= 0xDBFF) {
      if (i + 1 >= units.size() || units[i + 1] < 0xDC00 || units[i + 1] > 0xDFFF) {
        return std::nullopt;
      }
      ++i;
    } else if (u >= 0xDC00 && u <= 0xDFFF) {
      return std::nullopt;
    }
  }
  return utf8_from_utf16(units);
}

}  // namespace lw
