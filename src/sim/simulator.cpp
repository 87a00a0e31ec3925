#include "sim/simulator.h"

#include "sim/device.h"

namespace lw {

bool Simulator::enable(std::vector<SimulatedPort> ports) {
  std::lock_guard lock(mutex_);
  if (active_.load()) return false;
  ports_ = std::move(ports);
  active_.store(true);
  return true;
}

std::vector<PortInfo> Simulator::list_simulated() const {
  std::lock_guard lock(mutex_);
  std::vector<PortInfo> out;
  for (const SimulatedPort& p : ports_) {
    if (p.present->load()) out.push_back(p.info);
  }
  return out;
}

Result<std::unique_ptr<Port>, OpenError> Simulator::open_simulated(const std::string& name) const {
  std::lock_guard lock(mutex_);
  for (const SimulatedPort& p : ports_) {
    if (p.info.name == name && p.present->load()) {
      return std::unique_ptr<Port>(std::make_unique<SimulatedDevice>(name, p.present));
    }
  }
  return fail(OpenFailure::Missing);
}

bool Simulator::has_entry(const std::string& name) const {
  std::lock_guard lock(mutex_);
  for (const SimulatedPort& p : ports_) {
    if (p.info.name == name) return true;
  }
  return false;
}

void Simulator::toggle_present(size_t index) {
  std::lock_guard lock(mutex_);
  if (index >= ports_.size()) return;
  std::atomic<bool>& present = *ports_[index].present;
  present.store(!present.load());
}

Simulator& simulator() {
  static Simulator instance;
  return instance;
}

}  // namespace lw
