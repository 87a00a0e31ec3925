#include "serial/system_port_system.h"

#include "ports/list_ports.h"
#include "serial/serial_port.h"

namespace lw {

std::vector<PortInfo> SystemPortSystem::list_ports() { return list_system_ports(); }

Result<std::unique_ptr<Port>, OpenError> SystemPortSystem::open_port(const std::string& name,
                                                                     const PortSettings& settings) {
  return lw::open_port(name, settings, places_);
}

}  // namespace lw
