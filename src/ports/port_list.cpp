#include "ports/port_list.h"

#include <algorithm>
#include <cstdio>

namespace lw {
namespace {

char ascii_lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool is_hex4(std::string_view s) {
  if (s.size() != 4) return false;
  return std::all_of(s.begin(), s.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
  });
}

std::string hex4(uint16_t v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%04X", static_cast<unsigned>(v));
  return buf;
}

}  // namespace

bool same_port_name(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ascii_lower(a[i]) != ascii_lower(b[i])) return false;
  }
  return true;
}

std::string device_key(const PortInfo& port) {
  if (!port.usb_id) return port.name;
  std::string key = hex4(port.usb_id->vid) + ":" + hex4(port.usb_id->pid);
  if (port.serial) return key + ":" + *port.serial;
  return key + "@" + port.name;
}

std::string display_name(const PortInfo& port) {
  if (port.description.empty() || port.description == port.name) return port.name;
  return port.description + " (" + port.name + ")";
}

std::vector<PortInfo> ports_not_in(const std::vector<PortInfo>& a, const std::vector<PortInfo>& b) {
  std::vector<PortInfo> out;
  for (const PortInfo& p : a) {
    const std::string key = device_key(p);
    const bool found = std::any_of(b.begin(), b.end(), [&](const PortInfo& q) {
      return same_port_name(p.name, q.name) && device_key(q) == key && p.node == q.node;
    });
    if (!found) out.push_back(p);
  }
  return out;
}

std::optional<std::string> model_key(std::string_view key) {
  const size_t first = key.find_first_of(":@");
  if (first == std::string_view::npos) return std::nullopt;
  const std::string_view vid = key.substr(0, first);
  std::string_view rest = key.substr(first + 1);
  const std::string_view pid = rest.substr(0, rest.find_first_of(":@"));
  if (!is_hex4(vid) || !is_hex4(pid)) return std::nullopt;
  return std::string(vid) + ":" + std::string(pid);
}

uint32_t port_order_number(std::string_view name) {
  constexpr uint32_t kNone = 0xFFFFFFFFu;
  const size_t first = name.find_first_of("0123456789");
  if (first == std::string_view::npos) return kNone;
  uint64_t v = 0;
  for (char c : name.substr(first)) {
    if (c < '0' || c > '9') return kNone;
    v = v * 10 + static_cast<uint64_t>(c - '0');
    if (v > kNone) return kNone;
  }
  return static_cast<uint32_t>(v);
}

void order_ports(std::vector<PortInfo>& ports) {
  std::stable_sort(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) {
    const uint32_t na = port_order_number(a.name);
    const uint32_t nb = port_order_number(b.name);
    if (na != nb) return na < nb;
    return a.name < b.name;  // char_traits<char> compares bytes as unsigned
  });
  auto last = std::unique(ports.begin(), ports.end(), [](const PortInfo& a, const PortInfo& b) {
    return same_port_name(a.name, b.name);
  });
  ports.erase(last, ports.end());
}

}  // namespace lw
