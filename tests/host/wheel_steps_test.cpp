#include "host/wheel_steps.h"

#include <gtest/gtest.h>

#include <vector>

namespace lw {
namespace {

TEST(WheelSteps, NotchesAreWholeTurnsAwayPositive) {
  WheelSteps w;
  EXPECT_EQ(w.notch(true), 120);
  EXPECT_EQ(w.notch(false), -120);
}

TEST(WheelSteps, SmoothScrollsAddUpAndCarryTheRest) {
  struct Case {
    std::vector<double> dy;
    std::vector<int> out;
  };
  const Case cases[] = {
      {{1.0, -2.0}, {-120, 240}},            // whole notches, toolkit sign flipped
      {{0.004, 0.004, 0.004}, {0, 0, -1}},   // 0.48 each: the third crosses one unit
      {{-0.5, -0.5}, {60, 60}},              // halves
      {{-0.006, 0.006, 0.006}, {0, 0, -1}},  // a turn back drops what was carried
  };
  for (const Case& c : cases) {
    WheelSteps w;
    std::vector<int> got;
    for (double d : c.dy) got.push_back(w.smooth(d));
    EXPECT_EQ(got, c.out);
  }
}

TEST(WheelSteps, ANotchDropsTheCarry) {
  WheelSteps w;
  EXPECT_EQ(w.smooth(-0.008), 0);  // 0.96 carried
  EXPECT_EQ(w.notch(true), 120);
  EXPECT_EQ(w.smooth(-0.001), 0);  // 0.12: nothing from before
}

}  // namespace
}  // namespace lw
