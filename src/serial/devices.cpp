#include "serial/devices.h"

#include "ports/port_list.h"
#include "serial/settings_text.h"

namespace lw {

namespace {

std::optional<PortSettings> read_device_value(Settings& s, std::string_view name) {
  const std::optional<std::string> text = s.get_text(name, kDevicesSubkey);
  return text ? parse_port_settings(*text) : std::nullopt;
}

}  // namespace

PortSettings load_device_settings(Settings& s, std::string_view device_key) {
  if (std::optional<PortSettings> own = read_device_value(s, device_key)) return *own;
  if (const std::optional<std::string> model = model_key(device_key)) {
    if (std::optional<PortSettings> shared = read_device_value(s, *model)) return *shared;
  }
  return default_port_settings();
}

void save_device_settings(Settings& s, std::string_view device_key, const PortSettings& port) {
  const std::string text = format_port_settings(port);
  s.set_text(device_key, text, kDevicesSubkey);
  if (const std::optional<std::string> model = model_key(device_key)) {
    s.set_text(*model, text, kDevicesSubkey);
  }
}

}  // namespace lw
