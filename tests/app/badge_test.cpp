#include "app/badge.h"

#include <gtest/gtest.h>

namespace lw {
namespace {

TEST(PortBadge, SessionStateDecides) {
  const std::vector<RecentArrival> arrivals = {{"COM3", 1000}};
  const struct {
    ConnectionKind state;
    PortBadge want;
  } cases[] = {
      {ConnectionKind::Open, PortBadge::Connected},
      {ConnectionKind::Disconnected, PortBadge::Lost},
      {ConnectionKind::Closed, PortBadge::Closed},
      {ConnectionKind::Failed, PortBadge::Closed},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(port_badge("COM3", {}, 0, c.state), c.want);
    // An arrival opened at once shows its session, not New.
    EXPECT_EQ(port_badge("COM3", arrivals, 2000, c.state), c.want);
  }
}

TEST(PortBadge, NewForLessThan120WholeSeconds) {
  const std::vector<RecentArrival> arrivals = {{"COM4", 50'000}, {"COM3", 10'000}};
  EXPECT_EQ(port_badge("COM3", arrivals, 10'000, std::nullopt), PortBadge::New);
  EXPECT_EQ(port_badge("COM3", arrivals, 10'000 + 119'999, std::nullopt), PortBadge::New);
  EXPECT_EQ(port_badge("COM3", arrivals, 10'000 + 120'000, std::nullopt), PortBadge::None);
  EXPECT_EQ(port_badge("com3", arrivals, 10'000, std::nullopt), PortBadge::None);  // exact name
  EXPECT_EQ(port_badge("COM5", arrivals, 10'000, std::nullopt), PortBadge::None);
  EXPECT_EQ(port_badge("COM4", arrivals, 169'999, std::nullopt), PortBadge::New);
}

TEST(PortBadge, Texts) {
  EXPECT_EQ(badge_text(PortBadge::New), "New");
  EXPECT_EQ(badge_text(PortBadge::Connected), "Connected");
  EXPECT_EQ(badge_text(PortBadge::Lost), "Lost");
  EXPECT_EQ(badge_text(PortBadge::Closed), "Closed");
  EXPECT_EQ(badge_text(PortBadge::None), "");
}

}  // namespace
}  // namespace lw
