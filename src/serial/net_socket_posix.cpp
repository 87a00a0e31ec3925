// TCP connections through BSD sockets: non-blocking, every wait in poll.
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "base/system_error.h"
#include "serial/net_socket.h"
#include "serial/serial_port.h"

namespace lw {
namespace {

int64_t now_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Keep-alive after 5 s of silence, every 2 s, given up after 3 unanswered:
// a host that was switched off or a cable pulled ends the link in ~11 s.
// Sent bytes unacknowledged for 10 s end it too.
void tune(int fd) {
  const int on = 1;
  setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  setsockopt(fd, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof on);
  const int idle = 5, interval = 2, count = 3;
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
  setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
  const unsigned user_timeout = 10000;
  setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &user_timeout, sizeof user_timeout);
}

class PosixSocket final : public NetSocket {
 public:
  explicit PosixSocket(int fd) : fd_(fd) {}
  ~PosixSocket() override { ::close(fd_); }
  PosixSocket(const PosixSocket&) = delete;
  PosixSocket& operator=(const PosixSocket&) = delete;

  Result<size_t> receive(std::span<uint8_t> buf, int timeout_ms) override {
    if (buf.empty()) return size_t{0};
    pollfd p{fd_, POLLIN, 0};
    const int ready = ::poll(&p, 1, timeout_ms);
    if (ready < 0) {
      if (errno == EINTR) return size_t{0};
      return fail(errno_error(errno));
    }
    if (ready == 0) return size_t{0};
    const ssize_t n = ::recv(fd_, buf.data(), buf.size(), 0);
    if (n > 0) return static_cast<size_t>(n);
    if (n == 0) return fail(Error{0, kServerClosed});
    if (errno == EAGAIN || errno == EINTR) return size_t{0};
    return fail(errno_error(errno));
  }

  Status send_all(std::span<const uint8_t> bytes) override {
    int64_t last_progress = now_ms();
    while (!bytes.empty()) {
      // No SIGPIPE for a peer that has gone: the error says so.
      const ssize_t n = ::send(fd_, bytes.data(), bytes.size(), MSG_NOSIGNAL);
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
      if (::poll(&p, 1, static_cast<int>(left)) < 0 && errno != EINTR)
        return fail(errno_error(errno));
    }
    return {};
  }

 private:
  int fd_;
};

// One address: a non-blocking connect, waited for in read-timeout slices.
// Returns the socket, -1 when this address did not answer in time (or the
// attempt was cancelled), -2 when no socket could be made.
int connect_one(const addrinfo& ai, int64_t deadline, const std::function<bool()>& cancelled) {
  const int fd =
      ::socket(ai.ai_family, ai.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai.ai_protocol);
  if (fd < 0) return -2;
  if (::connect(fd, ai.ai_addr, ai.ai_addrlen) == 0) return fd;
  if (errno != EINPROGRESS) {
    ::close(fd);
    return -1;
  }
  while (true) {
    const int64_t left = deadline - now_ms();
    if (left <= 0 || cancelled()) break;
    pollfd p{fd, POLLOUT, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(std::min<int64_t>(left, kReadTimeoutMs)));
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    int error = 0;
    socklen_t len = sizeof error;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &len) != 0 || error != 0) break;
    return fd;
  }
  ::close(fd);
  return -1;
}

}  // namespace

Result<std::unique_ptr<NetSocket>, OpenError> connect_tcp(const std::string& host, uint16_t port,
                                                          int timeout_ms,
                                                          const std::function<bool()>& cancelled) {
  const int64_t deadline = now_ms() + timeout_ms;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || found == nullptr) {
    return fail(OpenFailure::Missing);
  }
  OpenFailure failure = OpenFailure::Missing;
  int fd = -1;
  for (const addrinfo* ai = found; ai != nullptr && fd < 0; ai = ai->ai_next) {
    fd = connect_one(*ai, deadline, cancelled);
    if (fd == -2) failure = OpenFailure::Other;
    if (cancelled() || now_ms() >= deadline) break;
  }
  freeaddrinfo(found);
  if (fd < 0) return fail(failure);
  tune(fd);
  return std::unique_ptr<NetSocket>(std::make_unique<PosixSocket>(fd));
}

}  // namespace lw
