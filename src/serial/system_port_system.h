#pragma once
// The PortSystem of the real machine: the system's port list, the addresses
// the user named, and its serial ports. Simulated devices have their own
// PortSystem.
#include "session/port.h"

namespace lw {

class SystemPortSystem final : public PortSystem {
 public:
  std::vector<PortInfo> list_ports() override;
  std::vector<PortInfo> find_ports(std::span<const PortAddress> addresses) override;
  Result<std::unique_ptr<Port>, OpenFailure> open_port(const std::string& name,
                                                       const PortSettings& settings) override;
};

}  // namespace lw
