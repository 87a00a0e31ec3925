#pragma once
// Wheel turns in the units the window's input takes: 120 per notch,
// positive away from the user. Smooth wheels and touchpads report fractions
// of a notch; what falls below one unit is carried to the next event, so a
// slow touchpad scroll still adds up.
#include <cmath>

namespace lw {

inline constexpr int kWheelNotch = 120;

class WheelSteps {
 public:
  // One notch of a wheel that clicks.
  int notch(bool away_from_user) {
    carry_ = 0;
    return away_from_user ? kWheelNotch : -kWheelNotch;
  }
  // A smooth scroll of dy notches, positive towards the user (the way
  // toolkits count a vertical scroll). A change of direction drops the carry.
  int smooth(double dy) {
    const double units = -dy * kWheelNotch;
    if ((units > 0 && carry_ < 0) || (units < 0 && carry_ > 0)) carry_ = 0;
    const double total = carry_ + units;
    const double whole = std::trunc(total);
    carry_ = total - whole;
    return static_cast<int>(whole);
  }

 private:
  double carry_ = 0;
};

}  // namespace lw
