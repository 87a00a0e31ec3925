#pragma once
// The session summary of a tab: eight "Label: value" lines joined by LF.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/time.h"

namespace lw {

struct SummaryCounters {
  std::string_view port_name;
  std::string_view description;  // may be empty
  Millis started = 0;            // the tab was opened (local wall clock)
  Millis now = 0;
  uint64_t lines_received = 0;
  uint64_t bytes_received = 0;
  uint64_t disconnects = 0;
  uint64_t reconnects = 0;
  uint64_t alerts = 0;
};

std::string session_summary(const SummaryCounters& c);

// "1023 B", "1.0 KB", "1.5 MB", up to GB.
std::string byte_amount(uint64_t bytes);
// H:MM:SS, the hours not wrapped at 24.
std::string running_time(Millis ms);

}  // namespace lw
