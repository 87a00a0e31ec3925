#pragma once
// The Linux side of port locks, used by the port opener and port_holder().
#include <optional>
#include <string>

#include "base/result.h"
#include "serial/port_locks.h"

namespace lw {

// The device a path names, symbolic links followed (/dev/serial/by-id/...
// is /dev/ttyUSB0), so every program agrees on the lock file's name.
std::string resolved_device(const std::string& device_path);

// The live process, other than this one, whose UUCP lock file holds the
// device. A lock file whose process is gone (or that names none) is stale.
std::optional<PortHolder> lock_file_owner(const std::string& device, const LockPlaces& places);

// A process other than this one with the device open (/proc/<pid>/fd),
// among those this process may look at. A process that also holds the
// master side of a pseudo-terminal is its far end, not a user of the port.
std::optional<PortHolder> process_holding(const std::string& device);
// Whether that one process still has the device open: a look at a single
// /proc/<pid>/fd, far cheaper than the whole scan.
bool process_holds(int64_t pid, const std::string& device);

// This process's UUCP lock file on a device, removed when it goes.
class UucpLock {
 public:
  UucpLock() = default;
  // Takes the lock in the first folder that will hold it, replacing a stale
  // one. Fails with the owner when a live process holds it; without a folder
  // that can be written it succeeds without a file.
  static Result<UucpLock, PortHolder> take(const std::string& device, const LockPlaces& places);
  UucpLock(UucpLock&& other) noexcept;
  UucpLock& operator=(UucpLock&& other) noexcept;
  UucpLock(const UucpLock&) = delete;
  UucpLock& operator=(const UucpLock&) = delete;
  ~UucpLock();

  // The file, empty when none could be made.
  const std::string& file() const { return file_; }

 private:
  explicit UucpLock(std::string file) : file_(std::move(file)) {}
  void release();
  std::string file_;
};

}  // namespace lw
