#pragma once
// The PortSystem of the real machine: the system's port list, the addresses
// the user named, and its serial ports. Simulated devices have their own
// PortSystem.
#include "serial/port_locks.h"
#include "session/port.h"

namespace lw {

class SystemPortSystem final : public PortSystem {
 public:
  // places: where lock files are looked for and made (tests pass their own).
  explicit SystemPortSystem(LockPlaces places = system_lock_places())
      : places_(std::move(places)) {}
  std::vector<PortInfo> list_ports() override;
  std::vector<PortInfo> find_ports(std::span<const PortAddress> addresses) override;
  Result<std::unique_ptr<Port>, OpenError> open_port(const std::string& name,
                                                     const PortSettings& settings) override;
  PortLook look_at(const std::string& name, const std::optional<PortHolder>& last) override;
  Result<std::unique_ptr<Port>, OpenError> reopen_port(const std::string& name,
                                                       const PortSettings& settings) override;

 private:
  LockPlaces places_;
};

}  // namespace lw
