#include "ports/instance_id.h"

#include <vector>

#include "base/ascii.h"
#include "base/trim.h"
#include "ports/port_list.h"

namespace lw {
namespace {

std::string ascii_upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::optional<uint16_t> hex4_after(const std::string& upper, std::string_view marker) {
  const size_t at = upper.find(marker);
  if (at == std::string::npos || upper.size() - at - marker.size() < 4) return std::nullopt;
  const std::optional<uint32_t> v =
      parse_hex(std::string_view(upper).substr(at + marker.size(), 4));
  if (!v) return std::nullopt;
  return static_cast<uint16_t>(*v);
}

std::vector<std::string_view> split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  for (;;) {
    const size_t at = s.find(sep);
    parts.push_back(s.substr(0, at));
    if (at == std::string_view::npos) return parts;
    s.remove_prefix(at + 1);
  }
}

}  // namespace

std::optional<UsbId> usb_id_from_instance_id(std::string_view id) {
  const std::string upper = ascii_upper(id);
  const std::optional<uint16_t> vid = hex4_after(upper, "VID_");
  const std::optional<uint16_t> pid = hex4_after(upper, "PID_");
  if (!vid || !pid) return std::nullopt;
  return UsbId{*vid, *pid};
}

std::optional<std::string> serial_from_instance_id(std::string_view id) {
  const std::string upper = ascii_upper(id);
  const std::vector<std::string_view> segments = split(id, '\\');
  std::string_view serial;
  if (upper.starts_with("USB\\")) {
    if (segments.size() >= 3 && ascii_upper(segments[1]).find("&MI_") == std::string::npos &&
        segments[2].find('&') == std::string_view::npos) {
      serial = segments[2];
    }
  } else if (upper.starts_with("FTDIBUS\\")) {
    if (segments.size() >= 2) {
      const std::vector<std::string_view> parts = split(segments[1], '+');
      if (parts.size() >= 3) serial = parts[2];
    }
  }
  if (serial.empty()) return std::nullopt;
  return std::string(serial);
}

std::string clean_description(std::string_view text, std::string_view port_name) {
  std::string_view s = trim_ascii_space(text);
  const size_t suffix = port_name.size() + 2;
  if (s.size() >= suffix && s.back() == ')' && s[s.size() - suffix] == '(' &&
      same_port_name(s.substr(s.size() - suffix + 1, port_name.size()), port_name)) {
    s = trim_ascii_space_end(s.substr(0, s.size() - suffix));
  }
  return std::string(s);
}

}  // namespace lw
