#include "sim/demo_list.h"

#include <optional>

#include "base/ascii.h"
#include "base/trim.h"

namespace lw {
namespace {

// Cuts s at the first sep: returns the part before it and leaves the rest in
// s (empty when sep does not occur).
std::string_view take_field(std::string_view& s, char sep) {
  const size_t at = s.find(sep);
  std::string_view head = s.substr(0, at);
  s = at == std::string_view::npos ? std::string_view{} : s.substr(at + 1);
  return head;
}

std::optional<uint16_t> parse_hex16(std::string_view s) {
  s = trim_ascii_space(s);
  if (!s.empty() && s.front() == '+') s.remove_prefix(1);
  if (s.size() > 4) return std::nullopt;
  const std::optional<uint32_t> value = parse_hex(s);
  if (!value) return std::nullopt;
  return static_cast<uint16_t>(*value);
}

void parse_identity(std::string_view identity, PortInfo& info) {
  const std::optional<uint16_t> vid = parse_hex16(take_field(identity, ':'));
  const std::optional<uint16_t> pid = parse_hex16(take_field(identity, ':'));
  if (vid && pid) info.usb_id = UsbId{*vid, *pid};
  const std::string_view serial = trim_ascii_space(identity);
  if (!serial.empty()) info.serial = std::string(serial);
}

}  // namespace

std::vector<SimulatedPort> parse_demo_list(std::string_view text) {
  std::vector<SimulatedPort> ports;
  while (!text.empty()) {
    std::string_view item = trim_ascii_space(take_field(text, ';'));
    bool present = true;
    if (!item.empty() && item.front() == '!') {
      present = false;
      item.remove_prefix(1);
    }
    PortInfo info;
    info.name = std::string(trim_ascii_space(take_field(item, '=')));
    if (info.name.empty()) continue;
    info.description = std::string(trim_ascii_space(take_field(item, '=')));
    parse_identity(item, info);
    ports.push_back({std::move(info), std::make_shared<std::atomic<bool>>(present)});
  }
  return ports;
}

}  // namespace lw
