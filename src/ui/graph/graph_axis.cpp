#include "ui/graph/graph_axis.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace lw {

namespace {
constexpr size_t kMaxTicks = 30;
}

ValueAxis value_axis(std::optional<ValueRange> range) {
  double lo = 0;
  double hi = 1;
  if (range && std::isfinite(range->min) && std::isfinite(range->max)) {
    lo = range->min;
    hi = range->max;
  }
  if (hi - lo < 1e-12) {
    const double pad = std::fabs(lo) > 1e-9 ? 0.05 * std::fabs(lo) : 1.0;
    lo -= pad;
    hi += pad;
  }
  ValueAxis axis;
  const double raw = (hi - lo) / 5;
  // 10^e exactly as the decimal reads: a negative power as a division,
  // since some pow implementations are a unit off in the last place there.
  const double e = std::floor(std::log10(raw));
  const double m = e >= 0 ? std::pow(10.0, e) : 1.0 / std::pow(10.0, -e);
  axis.step = 10 * m;
  for (double k : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    // A hair of tolerance so a step that is exactly a candidate in decimal
    // is not pushed to the next one by binary rounding.
    if (k * m >= raw * (1 - 1e-9)) {
      axis.step = k * m;
      break;
    }
  }
  // A value on a multiple of the step stays on it despite rounding.
  axis.bottom = std::floor(lo / axis.step + 1e-9) * axis.step;
  axis.top = std::ceil(hi / axis.step - 1e-9) * axis.step;
  if (!(axis.top > axis.bottom)) axis.top = axis.bottom + axis.step;
  axis.decimals = label_decimals(axis.step);
  for (size_t i = 0; i < kMaxTicks; ++i) {
    const double tick = axis.bottom + static_cast<double>(i) * axis.step;
    if (tick > axis.top + 0.01 * axis.step) break;
    axis.ticks.push_back(tick);
  }
  return axis;
}

int label_decimals(double step) {
  double scaled = step;
  for (int d = 0; d <= 5; ++d) {
    if (std::fabs(scaled - std::round(scaled)) <= 1e-6 * std::max(std::fabs(scaled), 1.0)) {
      return d;
    }
    scaled *= 10;
  }
  return 5;
}

std::string tick_label(double value, int decimals) {
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  std::string out(buf, r.ec == std::errc() ? r.ptr : buf);
  // A tiny negative value rounds to "-0.0": show it as zero.
  if (!out.empty() && out[0] == '-' && out.find_first_not_of("-0.") == std::string::npos) {
    out.erase(0, 1);
  }
  return out;
}

std::optional<ValueRange> window_range(const TabSeries& series, TimeWindow window) {
  std::optional<ValueRange> range;
  for (const Series& s : series.series()) {
    if (!s.visible) continue;
    const size_t lo = s.points.lower_bound(window.start);
    const size_t hi = s.points.upper_bound(window.end);
    if (lo >= hi) continue;
    const auto [mn, mx] = s.points.value_extremes(lo, hi);
    if (!range) {
      range = ValueRange{mn, mx};
    } else {
      range->min = std::min(range->min, mn);
      range->max = std::max(range->max, mx);
    }
  }
  return range;
}

}  // namespace lw
