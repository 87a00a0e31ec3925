#include <winsock2.h>
#include <ws2tcpip.h>

#include "serial/loopback_server.h"

namespace lw::test {

struct LoopbackServer::Sockets {
  SOCKET listener = INVALID_SOCKET;
  SOCKET client = INVALID_SOCKET;
  uint16_t port = 0;
};

namespace {

bool readable(SOCKET s, int timeout_ms) {
  fd_set set;
  FD_ZERO(&set);
  FD_SET(s, &set);
  timeval tv{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  return ::select(0, &set, nullptr, nullptr, &tv) > 0;
}

}  // namespace

LoopbackServer::LoopbackServer() : s_(std::make_unique<Sockets>()) {
  WSADATA data;
  if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return;
  s_->listener = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (s_->listener == INVALID_SOCKET) return;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  int len = sizeof a;
  if (::bind(s_->listener, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      ::listen(s_->listener, 4) != 0 ||
      ::getsockname(s_->listener, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    stop_listening();
    return;
  }
  s_->port = ntohs(a.sin_port);
}

LoopbackServer::~LoopbackServer() {
  drop_client();
  stop_listening();
  WSACleanup();
}

bool LoopbackServer::ok() const { return s_->port != 0; }
uint16_t LoopbackServer::port() const { return s_->port; }

bool LoopbackServer::accept(int timeout_ms) {
  drop_client();
  if (!readable(s_->listener, timeout_ms)) return false;
  s_->client = ::accept(s_->listener, nullptr, nullptr);
  return s_->client != INVALID_SOCKET;
}

bool LoopbackServer::read(std::vector<uint8_t>& into, int timeout_ms) {
  if (s_->client == INVALID_SOCKET) return false;
  if (!readable(s_->client, timeout_ms)) return true;
  char buf[4096];
  const int n = ::recv(s_->client, buf, sizeof buf, 0);
  if (n <= 0) return false;
  into.insert(into.end(), buf, buf + n);
  return true;
}

bool LoopbackServer::send(std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const int n = ::send(s_->client, reinterpret_cast<const char*>(bytes.data()),
                         static_cast<int>(bytes.size()), 0);
    if (n <= 0) return false;
    bytes = bytes.subspan(static_cast<size_t>(n));
  }
  return true;
}

void LoopbackServer::drop_client() {
  if (s_->client != INVALID_SOCKET) closesocket(s_->client);
  s_->client = INVALID_SOCKET;
}

void LoopbackServer::stop_listening() {
  if (s_->listener != INVALID_SOCKET) closesocket(s_->listener);
  s_->listener = INVALID_SOCKET;
}

}  // namespace lw::test
