#include "ports/port_address.h"

#include <algorithm>
#include <array>

#include "base/ascii.h"
#include "base/trim.h"
#include "base/utf8.h"

namespace lw {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_hex(char c) { return hex_digit_value(c) >= 0; }
bool is_alnum(char c) { return is_digit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

bool starts_with_lower(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (ascii_lower(text[i]) != prefix[i]) return false;
  }
  return true;
}

// Dotted decimal: four numbers of 0 to 255 without leading zeros.
bool is_ipv4(std::string_view s) {
  int parts = 0;
  while (true) {
    const size_t dot = s.find('.');
    const std::string_view part = s.substr(0, dot);
    if (part.empty() || part.size() > 3) return false;
    if (!std::all_of(part.begin(), part.end(), is_digit)) return false;
    if (part.size() > 1 && part.front() == '0') return false;
    int v = 0;
    for (char c : part) v = v * 10 + (c - '0');
    if (v > 255) return false;
    ++parts;
    if (dot == std::string_view::npos) break;
    s.remove_prefix(dot + 1);
  }
  return parts == 4;
}

// Eight groups of one to four hex digits, the last two of which may be an
// IPv4 address, with at most one "::" standing for one or more zero groups.
bool is_ipv6(std::string_view s) {
  if (s.size() < 2) return false;
  int groups = 0;
  bool gap = false;
  size_t i = 0;
  if (s.starts_with("::")) {
    gap = true;
    i = 2;
    if (s.size() == 2) return true;
  } else if (s.front() == ':') {
    return false;
  }
  while (i < s.size()) {
    size_t end = s.find(':', i);
    if (end == std::string_view::npos) end = s.size();
    const std::string_view group = s.substr(i, end - i);
    if (end == s.size() && group.find('.') != std::string_view::npos) {
      if (!is_ipv4(group)) return false;
      groups += 2;
      break;
    }
    if (group.empty() || group.size() > 4 || !std::all_of(group.begin(), group.end(), is_hex))
      return false;
    ++groups;
    if (end == s.size()) break;
    // "::" in the middle or at the end.
    if (end + 1 < s.size() && s[end + 1] == ':') {
      if (gap) return false;
      gap = true;
      i = end + 2;
      if (i == s.size()) break;
      if (s[i] == ':') return false;
    } else {
      i = end + 1;
      if (i == s.size()) return false;  // a single ':' at the end
    }
  }
  return gap ? groups < 8 : groups == 8;
}

// Labels of letters, digits, '-' and '_' (device servers' names often have
// one), 1 to 63 each, not starting or ending with '-'; a last dot is allowed.
bool is_host_name(std::string_view s) {
  if (s.ends_with('.')) s.remove_suffix(1);
  if (s.empty() || s.size() > 253) return false;
  while (true) {
    const size_t dot = s.find('.');
    const std::string_view label = s.substr(0, dot);
    if (label.empty() || label.size() > 63) return false;
    if (label.front() == '-' || label.back() == '-') return false;
    const bool ok = std::all_of(label.begin(), label.end(),
                                [](char c) { return is_alnum(c) || c == '-' || c == '_'; });
    if (!ok) return false;
    if (dot == std::string_view::npos) break;
    s.remove_prefix(dot + 1);
  }
  return true;
}

Result<PortAddress, AddressError> parse_network(AddressKind kind, std::string_view scheme,
                                                std::string_view rest) {
  PortAddress a;
  a.kind = kind;
  std::string_view port_text;
  if (rest.starts_with('[')) {
    const size_t close = rest.find(']');
    if (close == std::string_view::npos) return fail(AddressError::BadHost);
    a.host = std::string(rest.substr(1, close - 1));
    if (!is_ipv6(a.host)) return fail(AddressError::BadHost);
    rest.remove_prefix(close + 1);
    if (!rest.starts_with(':')) return fail(AddressError::BadPort);
    port_text = rest.substr(1);
  } else {
    const size_t colon = rest.rfind(':');
    const std::string_view host = rest.substr(0, colon);
    // An IPv6 address without brackets, or no host at all.
    if (host.find(':') != std::string_view::npos) return fail(AddressError::BadHost);
    const bool numeric = !host.empty() && std::all_of(host.begin(), host.end(), [](char c) {
      return is_digit(c) || c == '.';
    });
    if (numeric ? !is_ipv4(host) : !is_host_name(host)) return fail(AddressError::BadHost);
    if (colon == std::string_view::npos) return fail(AddressError::BadPort);
    a.host = std::string(host);
    port_text = rest.substr(colon + 1);
  }
  if (port_text.empty() || port_text.size() > 7 ||
      !std::all_of(port_text.begin(), port_text.end(), is_digit)) {
    return fail(AddressError::BadPort);
  }
  uint32_t port = 0;
  for (char c : port_text) port = port * 10 + static_cast<uint32_t>(c - '0');
  if (port < 1 || port > 65535) return fail(AddressError::BadPort);
  a.port = static_cast<uint16_t>(port);
  a.text = std::string(scheme) + host_and_port(a);
  return a;
}

}  // namespace

Result<PortAddress, AddressError> parse_port_address(std::string_view typed) {
  const std::string_view text = trim_white_space(typed);
  if (text.empty()) return fail(AddressError::Empty);
  if (!is_valid_utf8(text)) return fail(AddressError::Unknown);
  const bool control = std::any_of(text.begin(), text.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
  });
  if (control) return fail(AddressError::Unknown);
  static constexpr std::array<std::pair<std::string_view, AddressKind>, 2> schemes = {{
      {"rfc2217://", AddressKind::Rfc2217},
      {"tcp://", AddressKind::Tcp},
  }};
  for (const auto& [scheme, kind] : schemes) {
    if (starts_with_lower(text, scheme)) {
      return parse_network(kind, scheme, text.substr(scheme.size()));
    }
  }
  // Any other scheme is one this program does not speak.
  if (text.find("://") != std::string_view::npos) return fail(AddressError::Unknown);
  PortAddress a;
  a.text = std::string(text);
  return a;
}

bool is_network_address(std::string_view name) {
  const Result<PortAddress, AddressError> a = parse_port_address(name);
  return a && is_network(a->kind);
}

std::string host_and_port(const PortAddress& address) {
  const bool v6 = address.host.find(':') != std::string::npos;
  return (v6 ? "[" + address.host + "]" : address.host) + ":" + std::to_string(address.port);
}

}  // namespace lw
