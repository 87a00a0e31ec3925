// TCP connections through Winsock: non-blocking sockets, every wait in select.
#include <winsock2.h>
#include <ws2tcpip.h>
// After winsock2.h.
#include <mstcpip.h>

#include <algorithm>
#include <chrono>
#include <mutex>

#include "base/system_error.h"
#include "serial/net_socket.h"
#include "serial/serial_port.h"

namespace lw {
namespace {

// Winsock's codes are system error codes: the system has words for them.
Error socket_error(int code) { return windows_error(static_cast<unsigned long>(code)); }

int64_t now_ms() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool winsock_ready() {
  static std::once_flag once;
  static bool ready = false;
  std::call_once(once, [] {
    WSADATA data;
    ready = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  });
  return ready;
}

// Waits until the socket can be read (or written), at most timeout_ms;
// 1 ready, 0 not yet, -1 failed.
int wait_for(SOCKET s, bool write, int timeout_ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  fd_set failed;
  FD_ZERO(&failed);
  FD_SET(s, &failed);
  timeval tv{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  const int n = ::select(0, write ? nullptr : &set, write ? &set : nullptr, &failed, &tv);
  if (n == SOCKET_ERROR) return -1;
  if (n == 0) return 0;
  return FD_ISSET(s, &failed) ? -1 : 1;
}

// As on Linux: keep-alive after 5 s of silence, every 2 s.
void tune(SOCKET s) {
  const BOOL on = TRUE;
  setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
  setsockopt(s, SOL_SOCKET, SO_KEEPALIVE, reinterpret_cast<const char*>(&on), sizeof on);
  tcp_keepalive keep{1, 5000, 2000};
  DWORD returned = 0;
  WSAIoctl(s, SIO_KEEPALIVE_VALS, &keep, sizeof keep, nullptr, 0, &returned, nullptr, nullptr);
}

class WinSocket final : public NetSocket {
 public:
  explicit WinSocket(SOCKET s) : s_(s) {}
  ~WinSocket() override { closesocket(s_); }
  WinSocket(const WinSocket&) = delete;
  WinSocket& operator=(const WinSocket&) = delete;

  Result<size_t> receive(std::span<uint8_t> buf, int timeout_ms) override {
    if (buf.empty()) return size_t{0};
    const int ready = wait_for(s_, false, timeout_ms);
    if (ready == 0) return size_t{0};
    const int want = buf.size() > 1 << 30 ? 1 << 30 : static_cast<int>(buf.size());
    const int n = ::recv(s_, reinterpret_cast<char*>(buf.data()), want, 0);
    if (n > 0) return static_cast<size_t>(n);
    if (n == 0) return fail(Error{0, kServerClosed});
    const int code = WSAGetLastError();
    if (code == WSAEWOULDBLOCK) return size_t{0};
    return fail(socket_error(code));
  }

  Status send_all(std::span<const uint8_t> bytes) override {
    int64_t last_progress = now_ms();
    while (!bytes.empty()) {
      const int want = bytes.size() > 1 << 30 ? 1 << 30 : static_cast<int>(bytes.size());
      const int n = ::send(s_, reinterpret_cast<const char*>(bytes.data()), want, 0);
      if (n > 0) {
        bytes = bytes.subspan(static_cast<size_t>(n));
        last_progress = now_ms();
        continue;
      }
      const int code = WSAGetLastError();
      if (n == SOCKET_ERROR && code != WSAEWOULDBLOCK) return fail(socket_error(code));
      const int64_t left = last_progress + kWriteTimeoutMs - now_ms();
      if (left <= 0) return fail(Error{0, kWriteTimedOut});
      if (wait_for(s_, true, static_cast<int>(left)) < 0) return fail(socket_error(code));
    }
    return {};
  }

 private:
  SOCKET s_;
};

// One address, as on Linux: INVALID_SOCKET when it did not answer in time;
// *no_socket when none could be made.
SOCKET connect_one(const addrinfo& ai, int64_t deadline, const std::function<bool()>& cancelled,
                   bool* no_socket) {
  SOCKET s = ::socket(ai.ai_family, ai.ai_socktype, ai.ai_protocol);
  if (s == INVALID_SOCKET) {
    *no_socket = true;
    return INVALID_SOCKET;
  }
  u_long nonblocking = 1;
  ioctlsocket(s, static_cast<long>(FIONBIO), &nonblocking);
  if (::connect(s, ai.ai_addr, static_cast<int>(ai.ai_addrlen)) == 0) return s;
  if (WSAGetLastError() == WSAEWOULDBLOCK) {
    while (true) {
      const int64_t left = deadline - now_ms();
      if (left <= 0 || cancelled()) break;
      const int ready =
          wait_for(s, true, static_cast<int>(std::min<int64_t>(left, kReadTimeoutMs)));
      if (ready < 0) break;
      if (ready == 0) continue;
      int error = 0;
      int len = sizeof error;
      if (getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &len) != 0 ||
          error != 0)
        break;
      return s;
    }
  }
  closesocket(s);
  return INVALID_SOCKET;
}

}  // namespace

Result<std::unique_ptr<NetSocket>, OpenError> connect_tcp(const std::string& host, uint16_t port,
                                                          int timeout_ms,
                                                          const std::function<bool()>& cancelled) {
  if (!winsock_ready()) return fail(OpenFailure::Other);
  const int64_t deadline = now_ms() + timeout_ms;
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_protocol = IPPROTO_TCP;
  hints.ai_flags = AI_NUMERICSERV;
  addrinfo* found = nullptr;
  const std::string service = std::to_string(port);
  if (getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0 || found == nullptr) {
    return fail(OpenFailure::Missing);
  }
  bool no_socket = false;
  SOCKET s = INVALID_SOCKET;
  for (const addrinfo* ai = found; ai != nullptr && s == INVALID_SOCKET; ai = ai->ai_next) {
    s = connect_one(*ai, deadline, cancelled, &no_socket);
    if (cancelled() || now_ms() >= deadline) break;
  }
  freeaddrinfo(found);
  if (s == INVALID_SOCKET) return fail(no_socket ? OpenFailure::Other : OpenFailure::Missing);
  tune(s);
  return std::unique_ptr<NetSocket>(std::make_unique<WinSocket>(s));
}

}  // namespace lw
