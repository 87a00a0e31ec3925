// A look at a port another program may hold, without opening it: opening a
// serial device raises its modem lines, which restarts many boards.
#include <sys/stat.h>

#include "serial/port_locks_posix.h"
#include "serial/serial_port.h"

namespace lw {

PortLook look_at_port(const std::string& name, const LockPlaces& places,
                      const std::optional<PortHolder>& last) {
  if (name.empty()) return {PortLook::Use::Missing, {}, false};
  const std::string path = name.front() == '/' ? name : "/dev/" + name;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return {PortLook::Use::Missing, {}, false};
  const std::string device = resolved_device(path);
  // The cheap looks first: lock files, then the program seen a moment ago;
  // the scan of every process only when neither holds it.
  if (auto owner = lock_file_owner(device, places)) {
    return {PortLook::Use::Held, std::move(owner), false};
  }
  if (last && process_holds(last->pid, device)) return {PortLook::Use::Held, last, false};
  if (auto holder = process_holding(device)) {
    return {PortLook::Use::Held, std::move(holder), false};
  }
  return {PortLook::Use::Free, {}, false};
}

}  // namespace lw
