// UUCP lock files: read, taken and given back.
#include "serial/port_locks_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

namespace lw {

namespace {

std::optional<std::string> read_small_file(const std::string& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return std::nullopt;
  std::string out;
  char buf[256];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || out.size() > 4096) break;
    out.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return out;
}

bool process_alive(int64_t pid) {
  if (pid <= 0 || pid > INT_MAX) return false;
  // EPERM: it exists but belongs to someone else.
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

// The program name of a live process; its id stands in when /proc hides it.
PortHolder holder_of(int64_t pid) {
  PortHolder h{pid, {}};
  if (auto comm = read_small_file("/proc/" + std::to_string(pid) + "/comm")) {
    h.program = program_name(*comm);
  }
  return h;
}

// The live owner of one lock file, other than this process.
std::optional<PortHolder> owner_of(const std::string& file) {
  const std::optional<std::string> content = read_small_file(file);
  if (!content) return std::nullopt;
  const std::optional<int64_t> pid = uucp_lock_pid(*content);
  // A lock naming this process is left from an earlier one with its id:
  // this process holds no port twice (its flock would have said so).
  if (!pid || *pid == ::getpid() || !process_alive(*pid)) return std::nullopt;
  return holder_of(*pid);
}

}  // namespace

LockPlaces system_lock_places() { return LockPlaces{{"/run/lock", "/var/lock"}}; }

std::string resolved_device(const std::string& device_path) {
  char* real = ::realpath(device_path.c_str(), nullptr);
  if (!real) return device_path;
  std::string out(real);
  ::free(real);
  return out;
}

std::optional<PortHolder> lock_file_owner(const std::string& device, const LockPlaces& places) {
  const std::string name = uucp_lock_name(device);
  for (const auto& dir : places.dirs) {
    if (auto owner = owner_of((dir / name).string())) return owner;
  }
  return std::nullopt;
}

std::optional<PortHolder> port_holder(const std::string& device_path, const LockPlaces& places) {
  const std::string device = resolved_device(device_path);
  if (auto owner = lock_file_owner(device, places)) return owner;
  return process_holding(device);
}

Result<UucpLock, PortHolder> UucpLock::take(const std::string& device, const LockPlaces& places) {
  const std::string name = uucp_lock_name(device);
  const std::string text = uucp_lock_text(::getpid());
  for (const auto& dir : places.dirs) {
    const std::string file = (dir / name).string();
    // Written beside the lock first and linked into place, so nobody ever
    // reads a half-written lock; link fails when the lock exists.
    const std::string temp = (dir / ("LTMP." + std::to_string(::getpid()))).string();
    const int fd =
        ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) continue;  // no folder, or not ours to write: try the next
    const bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    if (!written) {
      ::unlink(temp.c_str());
      continue;
    }
    // A stale lock is removed and the link tried again; a few rounds settle
    // a race with another program doing the same.
    bool linked = false;
    for (int attempt = 0; attempt < 3 && !linked; ++attempt) {
      if (::link(temp.c_str(), file.c_str()) == 0) {
        linked = true;
      } else if (errno != EEXIST) {
        break;
      } else if (auto owner = owner_of(file)) {
        ::unlink(temp.c_str());
        return fail(std::move(*owner));
      } else {
        ::unlink(file.c_str());
      }
    }
    ::unlink(temp.c_str());
    if (linked) return UucpLock(file);
  }
  return UucpLock();
}

UucpLock::UucpLock(UucpLock&& other) noexcept : file_(std::move(other.file_)) {
  other.file_.clear();
}

UucpLock& UucpLock::operator=(UucpLock&& other) noexcept {
  if (this != &other) {
    release();
    file_ = std::move(other.file_);
    other.file_.clear();
  }
  return *this;
}

UucpLock::~UucpLock() { release(); }

void UucpLock::release() {
  if (file_.empty()) return;
  // Only while it is still ours: a lock that was taken over stays.
  const std::optional<std::string> content = read_small_file(file_);
  if (content && uucp_lock_pid(*content) == ::getpid()) ::unlink(file_.c_str());
  file_.clear();
}

}  // namespace lw
