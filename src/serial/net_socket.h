#pragma once
// A TCP connection to a device server: the few socket calls a network port
// makes, each with a timeout (net_socket_posix.cpp, net_socket_win32.cpp).
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "base/result.h"
#include "session/records.h"

namespace lw {

// The text of a connection the server ended.
inline constexpr const char* kServerClosed = "the server closed the connection";

class NetSocket {
 public:
  virtual ~NetSocket() = default;
  // Waits at most timeout_ms for bytes: their count, 0 when none came, or
  // the error that ended the connection (the server closing it is one).
  virtual Result<size_t> receive(std::span<uint8_t> buf, int timeout_ms) = 0;
  // Sends every byte; gives up with "write timed out" after the serial
  // ports' write timeout without progress.
  virtual Status send_all(std::span<const uint8_t> bytes) = 0;
};

// Resolves the host and connects to the first of its addresses that
// answers, within timeout_ms in all. cancelled is asked at least every read
// timeout. A host that can't be resolved or reached is Missing; Other is
// left for a machine that can't make a socket at all. The connection sends
// small writes at once and notices a peer that has gone silent (keep-alive
// probes) within about a dozen seconds.
Result<std::unique_ptr<NetSocket>, OpenError> connect_tcp(const std::string& host, uint16_t port,
                                                          int timeout_ms,
                                                          const std::function<bool()>& cancelled);

}  // namespace lw
