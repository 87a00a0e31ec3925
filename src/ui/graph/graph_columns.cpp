#include "ui/graph/graph_columns.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace lw {

namespace {

struct Extremes {
  size_t end;  // first index past the column
  size_t low;
  size_t high;
};

// From index i up to the first stamp at or after `next` (but at least one
// point and never past hi): the lowest and highest point. [i, run_end) lies
// in one run of the ring's array, where the points are walked directly:
// this loop is what a dense series costs.
Extremes scan_column(const PointRing& ring, size_t i, size_t run_end, size_t hi, Millis next) {
  Extremes e{i + 1, i, i};
  double low_v = ring[i].value;
  double high_v = low_v;
  const SeriesPoint* base = &ring[i];
  const size_t run = run_end - i;
  // Noisy values make the comparisons unpredictable, so they are written
  // as selects rather than branches.
  size_t k = 1;
  size_t low_k = 0;
  size_t high_k = 0;
  for (; k < run; ++k) {
    const SeriesPoint& p = base[k];
    if (p.stamp >= next) break;
    const double v = p.value;
    const bool lower = v < low_v;
    const bool higher = v > high_v;
    low_v = lower ? v : low_v;
    low_k = lower ? k : low_k;
    high_v = higher ? v : high_v;
    high_k = higher ? k : high_k;
  }
  e.low = i + low_k;
  e.high = i + high_k;
  size_t j = i + k;
  if (k == run) {
    // On across the seam.
    for (; j < hi; ++j) {
      const SeriesPoint& p = ring[j];
      if (p.stamp >= next) break;
      if (p.value < low_v) {
        low_v = p.value;
        e.low = j;
      }
      if (p.value > high_v) {
        high_v = p.value;
        e.high = j;
      }
    }
  }
  e.end = j;
  return e;
}

// The first index of [lo, hi) that lies before ring[lo] in memory: where the
// ring wraps round to the start of its array (hi when it does not).
size_t seam(const PointRing& ring, size_t lo, size_t hi) {
  const SeriesPoint* first = &ring[lo];
  size_t a = lo;
  size_t b = hi;
  while (a < b) {
    const size_t mid = a + (b - a) / 2;
    if (&ring[mid] >= first) {
      a = mid + 1;
    } else {
      b = mid;
    }
  }
  return a;
}

}  // namespace

void column_points(const PointRing& ring, TimeWindow window, size_t columns, ColumnPoints& out) {
  out.indices.clear();
  out.any = false;
  const size_t lo = ring.lower_bound(window.start);
  const size_t hi = ring.upper_bound(window.end);
  if (lo >= hi) return;
  out.any = true;
  out.min = out.max = ring[lo].value;
  const Millis span = std::max<Millis>(1, window.end - window.start);
  const auto n = static_cast<Millis>(std::max<size_t>(1, columns));
  const size_t wrap = seam(ring, lo, hi);
  size_t i = lo;
  while (i < hi) {
    // The column of this point, and the first stamp of the next column.
    const Millis offset = ring[i].stamp - window.start;
    const Millis column = std::clamp<Millis>(offset * n / span, 0, n - 1);
    const Millis next = window.start + ((column + 1) * span + n - 1) / n;
    const Extremes e = scan_column(ring, i, i < wrap ? wrap : hi, hi, next);
    out.min = std::min(out.min, ring[e.low].value);
    out.max = std::max(out.max, ring[e.high].value);
    // Inside a column only the span from lowest to highest shows; the ends
    // of the series keep their own points so the line starts and ends true.
    std::array<size_t, 4> keep{i == lo ? i : e.low, e.low, e.high,
                               e.end == hi ? e.end - 1 : e.high};
    std::sort(keep.begin(), keep.end());
    const auto last = std::unique(keep.begin(), keep.end());
    out.indices.insert(out.indices.end(), keep.begin(), last);
    i = e.end;
  }
}

void simplify_polyline(std::vector<Point>& points, float tolerance) {
  const size_t n = points.size();
  if (n < 3) return;
  // One pass, x never decreasing: from the last kept point (the anchor) the
  // line may run on to a point while its slope stays inside the band that
  // passes every skipped point within the tolerance, measured vertically.
  constexpr float kInf = std::numeric_limits<float>::infinity();
  size_t w = 1;  // points[0..w) are kept
  Point anchor = points[0];
  Point end = points[0];
  bool have_end = false;
  float lo = -kInf;
  float hi = kInf;
  const auto restart = [&](const Point& from) {
    points[w++] = from;
    anchor = from;
    have_end = false;
    lo = -kInf;
    hi = kInf;
  };
  for (size_t i = 1; i < n; ++i) {
    const Point p = points[i];
    for (int attempt = 0; attempt < 2; ++attempt) {
      const float dx = p.x - anchor.x;
      const float dy = p.y - anchor.y;
      bool fits;
      if (dx <= 1e-3f) {
        fits = std::fabs(dy) <= tolerance && lo == -kInf && hi == kInf;
      } else {
        const float slope = dy / dx;
        fits = slope >= lo && slope <= hi;
        if (fits) {
          lo = std::max(lo, (dy - tolerance) / dx);
          hi = std::min(hi, (dy + tolerance) / dx);
        }
      }
      if (fits || !have_end) {
        if (!fits) {
          // Straight up or down from the anchor: a segment of its own.
          lo = kInf;
          hi = -kInf;
        }
        end = p;
        have_end = true;
        break;
      }
      restart(end);
    }
  }
  if (have_end) points[w++] = end;
  points.resize(w);
}

}  // namespace lw
