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

#include "serial/device_file_posix.h"
#include "serial/serial_port.h"
#include "serial/termios2_linux.h"

namespace lw {
namespace {

Error system_error_of(int code) { return Error{code, std::generic_category().message(code)}; }

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
  explicit PosixSerialPort(int fd) : fd_(fd) {}
  ~PosixSerialPort() override {
    ioctl(fd_, TIOCNXCL);
    ::close(fd_);  // releases the flock too
  }
  PosixSerialPort(const PosixSerialPort&) = delete;
  PosixSerialPort& operator=(const PosixSerialPort&) = delete;

  Result<size_t> read(std::span<uint8_t> buf) override {
    if (buf.empty()) return size_t{0};
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, kReadTimeoutMs);
    if (ready < 0) {
      if (errno == EINTR) return size_t{0};
      return fail(system_error_of(errno));
    }
    if (ready == 0) return size_t{0};
    if (p.revents & POLLNVAL) return fail(system_error_of(EBADF));
    // Read even when POLLHUP is set: bytes that arrived before it come first.
    const ssize_t n = ::read(fd_, buf.data(), buf.size());
    if (n > 0) return static_cast<size_t>(n);
    if (n == 0) return fail(hung_up());
    if (errno == EAGAIN || errno == EINTR) {
      if (p.revents & (POLLHUP | POLLERR)) return fail(hung_up());
      return size_t{0};
    }
    return fail(system_error_of(errno));
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
      if (n < 0 && errno != EAGAIN) return fail(system_error_of(errno));
      const int64_t left = last_progress + kWriteTimeoutMs - now_ms();
      if (left <= 0) return fail(Error{0, kWriteTimedOut});
      pollfd p{fd_, POLLOUT, 0};
      const int ready = ::poll(&p, 1, static_cast<int>(left));
      if (ready < 0 && errno != EINTR) return fail(system_error_of(errno));
      if (ready > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL))) return fail(hung_up());
    }
    return {};
  }

  Status configure(const PortSettings& s) override {
    if (int e = apply_line_settings(fd_, s); e != 0) return fail(system_error_of(e));
    if (int e = set_modem_line(fd_, TIOCM_DTR, s.dtr); e != 0) return fail(system_error_of(e));
    if (int e = set_modem_line(fd_, TIOCM_RTS, s.rts); e != 0) return fail(system_error_of(e));
    return {};
  }

 private:
  int fd_;
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

}  // namespace

Result<std::unique_ptr<Port>, OpenFailure> open_port(const std::string& name,
                                                     const PortSettings& settings) {
  if (name.empty()) return fail(OpenFailure::Missing);
  const std::string path = name.front() == '/' ? name : "/dev/" + name;
  if (std::optional<OpenFailure> f = device_file_failure(path)) return fail(*f);
  // Non-blocking: an open must not wait for carrier, and reads and writes
  // wait in poll, never in the driver.
  const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return fail(failure_of(errno));
  if (!isatty(fd)) {  // /dev/null and other devices that are no terminal
    ::close(fd);
    return fail(OpenFailure::NotSerial);
  }

  // TIOCEXCL keeps other users out but root ignores it; the lock is what
  // makes a second Linewick (or another lock-aware terminal) see Busy.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
    ::close(fd);
    return fail(OpenFailure::Busy);
  }
  ioctl(fd, TIOCEXCL);

  auto port = std::make_unique<PosixSerialPort>(fd);
  tcflush(fd, TCIOFLUSH);  // what a previous user left in the queues
  if (Status st = port->configure(settings); !st) return fail(OpenFailure::Other);
  return std::unique_ptr<Port>(std::move(port));
}

}  // namespace lw
