// Serial ports through termios: exclusive open, raw line, poll-paced reads.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <system_error>

#include "base/system_error.h"
#include "serial/device_file_posix.h"
#include "serial/port_locks_posix.h"
#include "serial/serial_port.h"
#include "serial/termios2_linux.h"

namespace lw {
namespace {

// A tty that hung up reads as end of file and polls as POLLHUP; both mean the
// device is gone.
Error hung_up() { return Error{EIO, "the device hung up"}; }

int64_t now_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Drives one modem line. Drivers without modem lines (pseudo-terminals,
// some Bluetooth links) answer ENOTTY or EINVAL; that is not a failure.
int set_modem_line(int fd, int line, bool on) {
  if (ioctl(fd, on ? TIOCMBIS : TIOCMBIC, &line) == 0) return 0;
  if (errno == ENOTTY || errno == EINVAL) return 0;
  return errno;
}

class PosixSerialPort final : public Port {
 public:
  PosixSerialPort(int fd, UucpLock lock) : fd_(fd), lock_(std::move(lock)) {}
  ~PosixSerialPort() override {
    // Exclusive mode belongs to the device, not the descriptor: clear only
    // what this port set.
    if (exclusive_) ioctl(fd_, TIOCNXCL);
    ::close(fd_);  // releases the flock too; the lock file goes after it
  }
  // Keeps other users out; root ignores it, hence the locks.
  void make_exclusive() { exclusive_ = ioctl(fd_, TIOCEXCL) == 0; }
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  Result<size_t> read(std::span<uint8_t> buf) override {
    if (buf.empty()) return size_t{0};
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, kReadTimeoutMs);
    if (ready < 0) {
      if (errno == EINTR) return size_t{0};
      return fail(errno_error(errno));
    }
    if (ready == 0) return size_t{0};
    if (p.revents & POLLNVAL) return fail(errno_error(EBADF));
    // Read even when POLLHUP is set: bytes that arrived before it come first.
    const ssize_t n = ::read(fd_, buf.data(), buf.size());
    if (n > 0) return static_cast<size_t>(n);
    if (n == 0) return fail(hung_up());
    if (errno == EAGAIN || errno == EINTR) {
      if (p.revents & (POLLHUP | POLLERR)) return fail(hung_up());
      return size_t{0};
    }
    return fail(errno_error(errno));
  }

  Status write_all(std::span<const uint8_t> bytes) override {
    int64_t last_progress = now_ms();
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n > 0) {
        bytes = bytes.subspan(static_cast<size_t>(n));
        last_progress = now_ms();
        continue;
      }
      if (n < 0 && errno == EINTR) continue;
      if (n < 0 && errno != EAGAIN) return fail(errno_error(errno));
      const int64_t left = last_progress + kWriteTimeoutMs - now_ms();
      if (left <= 0) return fail(Error{0, kWriteTimedOut});
      pollfd p{fd_, POLLOUT, 0};
      const int ready = ::poll(&p, 1, static_cast<int>(left));
      if (ready < 0 && errno != EINTR) return fail(errno_error(errno));
      if (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) return fail(hung_up());
    }
    return {};
  }

  Status configure(const PortSettings& s) override {
    if (int e = apply_line_settings(fd_, s); e != 0) return fail(errno_error(e));
    if (int e = set_modem_line(fd_, TIOCM_DTR, s.dtr); e != 0) return fail(errno_error(e));
    if (int e = set_modem_line(fd_, TIOCM_RTS, s.rts); e != 0) return fail(errno_error(e));
    return {};
  }

 private:
  int fd_;
  UucpLock lock_;
  bool exclusive_ = false;
};

OpenFailure failure_of(int code) {
  switch (code) {
    case EBUSY:
    case EWOULDBLOCK:
      return OpenFailure::Busy;
    case ENOENT:
    case ENODEV:
    case ENXIO:
      return OpenFailure::Missing;
    case EACCES:
    case EPERM:
      return OpenFailure::Denied;
    default:
      return OpenFailure::Other;
  }
}

// Another program has the port: named when it can be seen.
OpenError busy(const std::string& device, const LockPlaces& places) {
  return OpenError{OpenFailure::Busy, port_holder(device, places)};
}

bool already_exclusive(int fd) {
  int on = 0;
  return ioctl(fd, TIOCGEXCL, &on) == 0 && on != 0;
}

Result<std::unique_ptr<Port>, OpenError> open_serial(const std::string& name,
                                                     const PortSettings& settings,
                                                     const LockPlaces& places, bool keep_input) {
  if (name.empty()) return fail(OpenFailure::Missing);
  const std::string path = name.front() == '/' ? name : "/dev/" + name;
  if (std::optional<OpenFailure> f = device_file_failure(path)) return fail(*f);
  // Non-blocking: an open must not wait for carrier, and reads and writes
  // wait in poll, never in the driver.
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int code = errno;
    if (failure_of(code) == OpenFailure::Busy) return fail(busy(path, places));
    return fail(failure_of(code));
  }
  const auto refuse = [&](OpenError error) {
    ::close(fd);
    return fail(std::move(error));
  };

  // Not a terminal (/dev/null and other devices): no serial line to configure.
  if (!::isatty(fd)) return refuse(OpenFailure::NotSerial);
  // Every convention serial programs keep: exclusive mode (which root may
  // open through, so it is asked), the flock, the UUCP lock file, and last
  // a program that simply has the port open.
  if (already_exclusive(fd)) return refuse(busy(path, places));
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
    return refuse(busy(path, places));
  const std::string device = resolved_device(path);
  if (auto owner = lock_file_owner(device, places)) {
    return refuse(OpenError{OpenFailure::Busy, std::move(owner)});
  }
  if (auto holder = process_holding(device)) {
    return refuse(OpenError{OpenFailure::Busy, std::move(holder)});
  }
  Result<UucpLock, PortHolder> lock = UucpLock::take(device, places);
  if (!lock) return refuse(OpenError{OpenFailure::Busy, lock.error()});

  auto port = std::make_unique<PosixSerialPort>(fd, std::move(*lock));
  port->make_exclusive();
  // What a previous user left in the queues; after a wait, what came in
  // since the other program let go is the new firmware's first words.
  tcflush(fd, keep_input ? TCOFLUSH : TCIOFLUSH);
  if (Status st = port->configure(settings); !st) return fail(OpenFailure::Other);
  return std::unique_ptr<Port>(std::move(port));
}

}  // namespace

Result<std::unique_ptr<Port>, OpenError> open_port(const std::string& name,
                                                   const PortSettings& settings,
                                                   const LockPlaces& places) {
  return open_serial(name, settings, places, false);
}

Result<std::unique_ptr<Port>, OpenError> reopen_port(const std::string& name,
                                                     const PortSettings& settings,
                                                     const LockPlaces& places) {
  return open_serial(name, settings, places, true);
}

Result<std::unique_ptr<Port>, OpenError> open_port(const std::string& name,
                                                   const PortSettings& settings) {
  return open_port(name, settings, system_lock_places());
}

}  // namespace lw
