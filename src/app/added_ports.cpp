#include "app/added_ports.h"

#include <algorithm>

#include "ports/port_address.h"

namespace lw {
namespace {

std::string join_lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& l : lines) {
    if (!out.empty()) out += '\n';
    out += l;
  }
  return out;
}

void add_newest(std::vector<std::string>& list, std::string address) {
  std::erase(list, address);
  list.push_back(std::move(address));
  if (list.size() > kAddedPortsKept) {
    list.erase(list.begin(), list.end() - static_cast<std::ptrdiff_t>(kAddedPortsKept));
  }
}

}  // namespace

std::vector<std::string> parse_added_ports(std::string_view stored) {
  std::vector<std::string> out;
  while (!stored.empty()) {
    const size_t lf = stored.find('\n');
    const std::string_view line = stored.substr(0, lf);
    stored.remove_prefix(lf == std::string_view::npos ? stored.size() : lf + 1);
    if (Result<PortAddress, AddressError> a = parse_port_address(line)) {
      add_newest(out, std::move(a->text));
    }
  }
  return out;
}

std::vector<std::string> load_added_ports(Settings& settings) {
  return parse_added_ports(settings.get_text(kAddedPortsSetting).value_or(std::string()));
}

void remember_added_port(Settings& settings, std::string_view address) {
  std::vector<std::string> list = load_added_ports(settings);
  add_newest(list, std::string(address));
  settings.set_text(kAddedPortsSetting, join_lines(list));
}

}  // namespace lw
