#include "app/badge.h"

#include "lang/tr.h"

namespace lw {

PortBadge port_badge(std::string_view port_name, std::span<const RecentArrival> recent_arrivals,
                     int64_t now_ms, std::optional<ConnectionKind> session_state) {
  if (session_state) {
    switch (*session_state) {
      case ConnectionKind::Open:
        return PortBadge::Connected;
      case ConnectionKind::Disconnected:
        return PortBadge::Lost;
      case ConnectionKind::Waiting:
        return PortBadge::Waiting;
      case ConnectionKind::Closed:
      case ConnectionKind::Failed:
        return PortBadge::Closed;
    }
  }
  for (const RecentArrival& a : recent_arrivals) {
    if (a.name == port_name && (now_ms - a.at_ms) / 1000 < kNewBadgeSeconds) return PortBadge::New;
  }
  return PortBadge::None;
}

std::string badge_text(PortBadge badge) {
  switch (badge) {
    case PortBadge::New:
      return tr("새 장치", "New");
    case PortBadge::Connected:
      return tr("연결됨", "Connected");
    case PortBadge::Lost:
      return tr("끊김", "Lost");
    case PortBadge::Closed:
      return tr("닫힘", "Closed");
    case PortBadge::Waiting:
      return tr("대기", "Waiting");
    case PortBadge::None:
      break;
  }
  return {};
}

}  // namespace lw
