#pragma once
// The simulator's device table and the simulated-device mode flag. The
// program has one table (simulator()), built at start-up from the demo list;
// tests make their own so that no state leaks between them.
#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "session/port.h"
#include "sim/demo_list.h"

namespace lw {

class Simulator {
 public:
  Simulator() = default;
  explicit Simulator(std::vector<SimulatedPort> ports) { enable(std::move(ports)); }
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Builds the table and turns simulated-device mode on. The table is built
  // once: a later call changes nothing and returns false.
  bool enable(std::vector<SimulatedPort> ports);
  bool active() const { return active_.load(); }

  // The entries that are plugged in, in table order.
  std::vector<PortInfo> list_simulated() const;
  // A device on the entry of exactly that name; Missing when there is no
  // such entry or it is unplugged.
  Result<std::unique_ptr<Port>, OpenError> open_simulated(const std::string& name) const;
  // Whether the table has an entry of exactly that name, plugged in or not.
  bool has_entry(const std::string& name) const;
  // Plugs entry number index (0-based) in or out; beyond the table, nothing.
  void toggle_present(size_t index);
  // Another program takes entry number index, or lets it go again: while
  // taken, opening it is Busy (a device open on it already reads on; the
  // simulator keeps no one from a port). Returns whether it is taken now.
  bool toggle_taken(size_t index);
  // What a waiting tab sees of the entry of that name: Missing when there
  // is none or it is unplugged, Held while taken (by nobody it can name).
  PortLook look(const std::string& name) const;

 private:
  // The plugged-in entry of exactly that name.
  std::optional<size_t> present_entry(const std::string& name) const;

  mutable std::mutex mutex_;
  std::vector<SimulatedPort> ports_;
  std::vector<bool> taken_;  // per entry: another program has it
  std::atomic<bool> active_{false};
};

// The program's table; simulated-device mode is its active() flag.
Simulator& simulator();

// The port list and opening in simulated-device mode. The simulated devices
// replace what the system lists; addresses the user names himself still go
// to `addresses` (the real system) when there is one.
class SimPortSystem final : public PortSystem {
 public:
  explicit SimPortSystem(Simulator& sim = simulator(), PortSystem* addresses = nullptr)
      : sim_(sim), addresses_(addresses) {}
  std::vector<PortInfo> list_ports() override { return sim_.list_simulated(); }
  std::vector<PortInfo> find_ports(std::span<const PortAddress> addresses) override {
    if (addresses_ == nullptr) return {};
    return addresses_->find_ports(addresses);
  }
  // Settings have no effect on a simulated device.
  Result<std::unique_ptr<Port>, OpenError> open_port(const std::string& name,
                                                     const PortSettings& settings) override {
    if (addresses_ != nullptr && !sim_.has_entry(name))
      return addresses_->open_port(name, settings);
    return sim_.open_simulated(name);
  }
  PortLook look_at(const std::string& name, const std::optional<PortHolder>&) override {
    return sim_.look(name);
  }

 private:
  Simulator& sim_;
  PortSystem* addresses_;
};

}  // namespace lw
