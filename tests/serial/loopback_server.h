#pragma once
// A TCP server on 127.0.0.1 that a test plays the device server with: it
// listens on a free port, takes one client at a time and hands the test the
// bytes as they came (loopback_server_posix.cpp, loopback_server_win32.cpp).
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace lw::test {

class LoopbackServer {
 public:
  LoopbackServer();
  ~LoopbackServer();
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  bool ok() const;
  uint16_t port() const;
  // Takes the next client, waiting at most timeout_ms.
  bool accept(int timeout_ms = 10'000);
  // Appends what the client sent within timeout_ms (returns at the first
  // bytes); false when the client has gone.
  bool read(std::vector<uint8_t>& into, int timeout_ms);
  // Reads until `into` holds at least `count` bytes, or ten seconds pass.
  bool read_at_least(std::vector<uint8_t>& into, size_t count);
  bool send(std::span<const uint8_t> bytes);
  bool send(const std::string& bytes);
  void drop_client();
  // Stops listening: the port then refuses connections.
  void stop_listening();

 private:
  struct Sockets;
  std::unique_ptr<Sockets> s_;
};

}  // namespace lw::test
