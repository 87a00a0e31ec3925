#pragma once
// Linux only: a pseudo-terminal pair standing in for a serial device. The
// test opens path() as a port; the far end plays the device.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <string_view>

namespace lw::test {

class PtyPair {
 public:
  PtyPair() {
    far_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (far_ < 0 || grantpt(far_) != 0 || unlockpt(far_) != 0) return;
    char name[128];
    if (ptsname_r(far_, name, sizeof name) != 0) return;
    path_ = name;
    // Held for the pair's life, raw from the start, so nothing sent before a
    // port configures the line is echoed back or translated; it also lets
    // a test look at the line settings.
    near_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (near_ < 0) return;
    termios t{};
    if (tcgetattr(near_, &t) != 0) return;
    cfmakeraw(&t);
    if (tcsetattr(near_, TCSANOW, &t) != 0) return;
    ok_ = true;
  }
  ~PtyPair() {
    close_far_end();
    if (near_ >= 0) ::close(near_);
  }
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  bool ok() const { return ok_; }
  const std::string& path() const { return path_; }
  int near_fd() const { return near_; }

  // Sends bytes from the device side; false if they could not all go.
  bool send(std::string_view bytes, int timeout_ms = 5000) {
    const auto deadline = now() + std::chrono::milliseconds(timeout_ms);
    while (!bytes.empty()) {
      const ssize_t n = ::write(far_, bytes.data(), bytes.size());
      if (n > 0) {
        bytes.remove_prefix(static_cast<size_t>(n));
        continue;
      }
      if (n < 0 && errno != EAGAIN && errno != EINTR) return false;
      if (now() >= deadline) return false;
      pollfd p{far_, POLLOUT, 0};
      ::poll(&p, 1, 10);
    }
    return true;
  }

  // What the device side receives, until count bytes came or the time is up.
  std::string receive(size_t count, int timeout_ms = 5000) {
    std::string out;
    const auto deadline = now() + std::chrono::milliseconds(timeout_ms);
    char buf[4096];
    while (out.size() < count && now() < deadline) {
      pollfd p{far_, POLLIN, 0};
      if (::poll(&p, 1, 10) <= 0) continue;
      const ssize_t n = ::read(far_, buf, sizeof buf);
      if (n > 0) out.append(buf, static_cast<size_t>(n));
    }
    return out;
  }

  // Bytes waiting to be read on the port side.
  int queued_for_port() const {
    int n = 0;
    return ioctl(near_, FIONREAD, &n) == 0 ? n : -1;
  }

  // Lets go of the port side this pair holds, so that whether anyone else
  // has it open can be seen from the device side.
  void close_port_side() {
    if (near_ >= 0) ::close(near_);
    near_ = -1;
  }
  // Whether some process has the port side open (the device side stops
  // reporting a hang-up once one does).
  bool port_side_open() const {
    pollfd p{far_, POLLIN, 0};
    return ::poll(&p, 1, 0) >= 0 && (p.revents & POLLHUP) == 0;
  }

  // Like unplugging the device: the port side hangs up.
  void close_far_end() {
    if (far_ >= 0) ::close(far_);
    far_ = -1;
  }

 private:
  static std::chrono::steady_clock::time_point now() { return std::chrono::steady_clock::now(); }
  int far_ = -1;
  int near_ = -1;
  std::string path_;
  bool ok_ = false;
};

}  // namespace lw::test
