// Windows opens a port for one program only and does not say which one.
#include "serial/port_locks.h"

namespace lw {

LockPlaces system_lock_places() { return {}; }

std::optional<PortHolder> port_holder(const std::string&, const LockPlaces&) {
  return std::nullopt;
}

}  // namespace lw
