#include "serial/system_port_system.h"

#include "ports/list_ports.h"
#include "serial/serial_port.h"

namespace lw {

std::vector<PortInfo> SystemPortSystem::list_ports() { return list_system_ports(); }

Result<std::unique_ptr<Port>, OpenError> SystemPortSystem::open_port(const std::string& name,
                                                                     const PortSettings& settings) {
  return lw::open_port(name, settings, places_);
}

PortLook SystemPortSystem::look_at(const std::string& name, const std::optional<PortHolder>& last) {
  return look_at_port(name, places_, last);
}

Result<std::unique_ptr<Port>, OpenError> SystemPortSystem::reopen_port(
    const std::string& name, const PortSettings& settings) {
  return lw::reopen_port(name, settings, places_);
}

}  // namespace lw
