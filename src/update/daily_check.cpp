#include "update/daily_check.h"

#include <chrono>

namespace lw {

bool daily_check_due(uint64_t last, uint64_t now) {
  const uint64_t elapsed = last > now ? 0 : now - last;
  return elapsed >= kSecondsPerDay;
}

uint64_t unix_seconds_now() {
  const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
  const int64_t seconds = std::chrono::duration_cast<std::chrono::seconds>(since_epoch).count();
  return seconds < 0 ? 0 : static_cast<uint64_t>(seconds);
}

}  // namespace lw
