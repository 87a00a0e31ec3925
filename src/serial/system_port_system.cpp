#include "serial/system_port_system.h"

#include "ports/list_ports.h"
#include "serial/serial_port.h"

namespace lw {

std::vector<PortInfo> SystemPortSystem::list_ports() { return list_system_ports(); }

std::vector<PortInfo> SystemPortSystem::find_ports(std::span<const PortAddress> addresses) {
  return find_system_ports(addresses);
}

Result<std::unique_ptr<Port>, OpenError> SystemPortSystem::open_port(const std::string& name,
                                                                     const PortSettings& settings) {
  const Result<PortAddress, AddressError> address = parse_port_address(name);
  if (!address) return fail(OpenFailure::Missing);
  switch (address->kind) {
    case AddressKind::Device:
      break;
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
