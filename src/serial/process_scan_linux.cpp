// Which process has a device open: every /proc/<pid>/fd this process may
// read, compared by device number.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>

#include "serial/port_locks_posix.h"

namespace lw {

namespace {

// Pseudo-terminal slaves (/dev/pts/N) have majors 136 to 143; the master
// side is opened through /dev/ptmx (5, 2).
constexpr unsigned kPtsFirstMajor = 136;
constexpr unsigned kPtsLastMajor = 143;

std::optional<unsigned> pty_index(dev_t device) {
  const unsigned maj = major(device);
  if (maj < kPtsFirstMajor || maj > kPtsLastMajor) return std::nullopt;
  return (maj - kPtsFirstMajor) * 256 + minor(device);
}

bool is_ptmx(dev_t device) { return major(device) == 5 && minor(device) == 2; }

std::string read_text(int dir_fd, const char* name) {
  const int fd = ::openat(dir_fd, name, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {};
  std::string out;
  char buf[512];
  ssize_t n = 0;
  while ((n = ::read(fd, buf, sizeof buf)) > 0 && out.size() < 8192) {
    out.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return out;
}

// The pseudo-terminal a master descriptor serves ("tty-index:" in fdinfo).
std::optional<unsigned> master_index(int proc_fd, const std::string& fd_name) {
  const std::string info = read_text(proc_fd, ("fdinfo/" + fd_name).c_str());
  const size_t at = info.find("tty-index:");
  if (at == std::string::npos) return std::nullopt;
  return static_cast<unsigned>(std::strtoul(info.c_str() + at + 10, nullptr, 10));
}

enum class Holds : uint8_t { No, Yes, FarEnd };

// Whether the process behind proc_fd (/proc/<pid>) has the device open.
Holds holds_device(int proc_fd, dev_t device) {
  const int fd_dir = ::openat(proc_fd, "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_dir < 0) return Holds::No;  // not ours to look at, or gone
  DIR* dir = ::fdopendir(fd_dir);
  if (!dir) {
    ::close(fd_dir);
    return Holds::No;
  }
  const std::optional<unsigned> pty = pty_index(device);
  bool holds = false;
  bool far_end = false;
  while (const dirent* e = ::readdir(dir)) {
    if (e->d_name[0] == '.') continue;
    // Only links into /dev are looked at: stat on anything else could wait
    // on a slow file system.
    char target[64];
    const ssize_t n = ::readlinkat(fd_dir, e->d_name, target, sizeof target - 1);
    if (n <= 0 || !std::string_view(target, static_cast<size_t>(n)).starts_with("/dev/")) continue;
    struct stat st {};
    if (::fstatat(fd_dir, e->d_name, &st, 0) != 0 || !S_ISCHR(st.st_mode)) continue;
    if (st.st_rdev == device) {
      holds = true;
    } else if (pty && is_ptmx(st.st_rdev) && master_index(proc_fd, e->d_name) == pty) {
      far_end = true;
    }
  }
  ::closedir(dir);
  if (far_end) return Holds::FarEnd;
  return holds ? Holds::Yes : Holds::No;
}

}  // namespace

bool process_holds(int64_t pid, const std::string& device_path) {
  struct stat dev {};
  if (pid <= 0 || pid == ::getpid() || ::stat(device_path.c_str(), &dev) != 0 ||
      !S_ISCHR(dev.st_mode)) {
    return false;
  }
  const int proc_fd =
      ::open(("/proc/" + std::to_string(pid)).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (proc_fd < 0) return false;
  const bool holds = holds_device(proc_fd, dev.st_rdev) == Holds::Yes;
  ::close(proc_fd);
  return holds;
}

std::optional<PortHolder> process_holding(const std::string& device_path) {
  struct stat dev {};
  if (::stat(device_path.c_str(), &dev) != 0 || !S_ISCHR(dev.st_mode)) return std::nullopt;
  DIR* proc = ::opendir("/proc");
  if (!proc) return std::nullopt;
  const pid_t self = ::getpid();
  std::optional<PortHolder> found;
  while (const dirent* e = ::readdir(proc)) {
    const std::string_view name(e->d_name);
    if (name.empty() || name.find_first_not_of("0123456789") != std::string_view::npos) continue;
    const long pid = std::strtol(e->d_name, nullptr, 10);
    if (pid == self) continue;
    const int proc_fd = ::openat(::dirfd(proc), e->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (proc_fd < 0) continue;
    if (holds_device(proc_fd, dev.st_rdev) == Holds::Yes) {
      found = PortHolder{pid, program_name(read_text(proc_fd, "comm"))};
    }
    ::close(proc_fd);
    if (found) break;
  }
  ::closedir(proc);
  return found;
}

}  // namespace lw
