#include "serial/system_port_system.h"

#include "ports/list_ports.h"
#include "serial/net_port.h"
#include "serial/serial_port.h"

namespace lw {

std::vector<PortInfo> SystemPortSystem::list_ports() { return list_system_ports(); }

std::vector<PortInfo> SystemPortSystem::find_ports(std::span<const PortAddress> addresses) {
  const std::vector<PortInfo> devices = find_system_ports(addresses);
  std::vector<PortInfo> found;
  size_t next_device = 0;
  for (const PortAddress& a : addresses) {
    if (is_network(a.kind)) {
      // Whether a server answers is only known by connecting, which is the
      // reader thread's to do: a network port is always listed.
      PortInfo p(a.text, a.host);
      p.added = true;
      found.push_back(std::move(p));
    } else if (next_device < devices.size() && devices[next_device].name == a.text) {
      found.push_back(devices[next_device++]);
    }
  }
  return found;
}

Result<std::unique_ptr<Port>, OpenError> SystemPortSystem::open_port(const std::string& name,
                                                                     const PortSettings& settings) {
  const Result<PortAddress, AddressError> address = parse_port_address(name);
  if (!address) return fail(OpenFailure::Missing);
  switch (address->kind) {
    case AddressKind::Device:
      break;
    case AddressKind::Rfc2217:
    case AddressKind::Tcp:
      return make_net_port(*address, settings);
  }
  return lw::open_port(address->text, settings, places_);
}

PortLook SystemPortSystem::look_at(const std::string& name, const std::optional<PortHolder>& last) {
  return look_at_port(name, places_, last);
}

Result<std::unique_ptr<Port>, OpenError> SystemPortSystem::reopen_port(
    const std::string& name, const PortSettings& settings) {
  return lw::reopen_port(name, settings, places_);
}

}  // namespace lw
