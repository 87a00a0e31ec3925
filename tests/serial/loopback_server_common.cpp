#include <chrono>

#include "serial/loopback_server.h"

namespace lw::test {

bool LoopbackServer::read_at_least(std::vector<uint8_t>& into, size_t count) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (into.size() < count) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    if (!read(into, 100)) return into.size() >= count;
  }
  return true;
}

bool LoopbackServer::send(const std::string& bytes) {
  return send(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

}  // namespace lw::test
