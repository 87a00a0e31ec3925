#pragma once
// The badge a row of the port list shows.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "session/records.h"

namespace lw {

// A port that appeared while the program runs, at a monotonic time.
struct RecentArrival {
  std::string name;
  int64_t at_ms = 0;
};

inline constexpr int64_t kNewBadgeSeconds = 120;

enum class PortBadge : uint8_t { None, New, Connected, Lost, Closed, Waiting };

// session_state: the connection state of the session whose port name equals
// the port's exactly, if there is one. A session decides the badge (an
// arrival that was opened at once shows Connected); otherwise the port is New
// while an arrival of its exact name is less than 120 whole seconds old.
PortBadge port_badge(std::string_view port_name, std::span<const RecentArrival> recent_arrivals,
                     int64_t now_ms, std::optional<ConnectionKind> session_state);

// "New", "Connected", "Lost", "Closed", "Waiting"; empty for None.
std::string badge_text(PortBadge badge);

}  // namespace lw
