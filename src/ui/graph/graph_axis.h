#pragma once
// The graph's automatic value axis: a round step near a fifth of the range,
// the axis ends on multiples of it, and labels with as many decimals as the
// step needs.
#include <optional>
#include <string>
#include <vector>

#include "lab/series.h"

namespace lw {

struct ValueRange {
  double min = 0;
  double max = 0;
};

struct ValueAxis {
  double bottom = 0;
  double top = 1;
  double step = 0.2;
  int decimals = 1;
  std::vector<double> ticks;  // bottom upwards, at most 30
};

// range: the smallest and largest value in the window of the visible
// series; none (or a non-finite end) gives 0 to 1.
ValueAxis value_axis(std::optional<ValueRange> range);

// The smallest d in 0..5 for which step x 10^d is whole.
int label_decimals(double step);
// The value with that many decimals; never "-0".
std::string tick_label(double value, int decimals);

// The range of the points in the window, over the visible series, found by
// bisection on each series' ring.
std::optional<ValueRange> window_range(const TabSeries& series, TimeWindow window);

}  // namespace lw
