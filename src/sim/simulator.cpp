#include "sim/simulator.h"

#include "sim/device.h"

namespace lw {

bool Simulator::enable(std::vector<SimulatedPort> ports) {
  std::lock_guard lock(mutex_);
  if (active_.load()) return false;
  ports_ = std::move(ports);
  taken_.assign(ports_.size(), false);
  active_.store(true);
  return true;
}

std::optional<size_t> Simulator::present_entry(const std::string& name) const {
  for (size_t i = 0; i < ports_.size(); ++i) {
    if (ports_[i].info.name == name && ports_[i].present->load()) return i;
  }
  return std::nullopt;
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
  const std::optional<size_t> i = present_entry(name);
  if (!i) return fail(OpenFailure::Missing);
  if (taken_[*i]) return fail(OpenFailure::Busy);
  return std::unique_ptr<Port>(std::make_unique<SimulatedDevice>(name, ports_[*i].present));
}

PortLook Simulator::look(const std::string& name) const {
  std::lock_guard lock(mutex_);
  const std::optional<size_t> i = present_entry(name);
  if (!i) return {PortLook::Use::Missing, {}, false};
  return {taken_[*i] ? PortLook::Use::Held : PortLook::Use::Free, {}, false};
}

bool Simulator::toggle_taken(size_t index) {
  std::lock_guard lock(mutex_);
  if (index >= taken_.size()) return false;
  taken_[index] = !taken_[index];
  return taken_[index];
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
