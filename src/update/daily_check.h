#pragma once
// When the automatic check at start-up is due.
#include <cstdint>

namespace lw {

inline constexpr uint64_t kSecondsPerDay = 86400;

// A full day since `last`; a `last` later than `now` counts as no time
// passed, so a clock set back waits until it passes `last` plus a day.
bool daily_check_due(uint64_t last, uint64_t now);

// Whole seconds since 1970-01-01 00:00:00 UTC.
uint64_t unix_seconds_now();

}  // namespace lw
