#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

#include "serial/loopback_server.h"

namespace lw::test {

struct LoopbackServer::Sockets {
  int listener = -1;
  int client = -1;
  uint16_t port = 0;
};

LoopbackServer::LoopbackServer() : s_(std::make_unique<Sockets>()) {
  s_->listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (s_->listener < 0) return;
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  socklen_t len = sizeof a;
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
}

bool LoopbackServer::ok() const { return s_->port != 0; }
uint16_t LoopbackServer::port() const { return s_->port; }

bool LoopbackServer::accept(int timeout_ms) {
  drop_client();
  pollfd p{s_->listener, POLLIN, 0};
  if (::poll(&p, 1, timeout_ms) <= 0) return false;
  s_->client = ::accept4(s_->listener, nullptr, nullptr, SOCK_CLOEXEC);
  return s_->client >= 0;
}

bool LoopbackServer::read(std::vector<uint8_t>& into, int timeout_ms) {
  if (s_->client < 0) return false;
  pollfd p{s_->client, POLLIN, 0};
  const int ready = ::poll(&p, 1, timeout_ms);
  if (ready <= 0) return ready == 0 || errno == EINTR;
  uint8_t buf[4096];
  const ssize_t n = ::recv(s_->client, buf, sizeof buf, 0);
  if (n <= 0) return false;
  into.insert(into.end(), buf, buf + n);
  return true;
}

bool LoopbackServer::send(std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::send(s_->client, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (n <= 0) return false;
    bytes = bytes.subspan(static_cast<size_t>(n));
  }
  return true;
}

void LoopbackServer::drop_client() {
  if (s_->client >= 0) ::close(s_->client);
  s_->client = -1;
}

void LoopbackServer::stop_listening() {
  if (s_->listener >= 0) ::close(s_->listener);
  s_->listener = -1;
}

}  // namespace lw::test
