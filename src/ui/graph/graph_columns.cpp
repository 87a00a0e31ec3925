#include "ui/graph/graph_columns.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>
#include <vector>

namespace lw {

namespace {

Millis floor_div(Millis a, Millis b) { return a / b - (a % b != 0 && (a < 0) != (b < 0)); }

// The lowest and highest point of ring[from, to).
void scan(const PointRing& ring, size_t from, size_t to, size_t& low, size_t& high) {
  low = high = from;
  for (size_t i = from + 1; i < to; ++i) {
    const double v = ring[i].value;
    if (v < ring[low].value) low = i;
    if (v > ring[high].value) high = i;
  }
}

}  // namespace

Millis ColumnCache::column_of(Millis t) const { return floor_div(t * count_, span_); }

Millis ColumnCache::column_start(Millis column) const {
  return -floor_div(-column * span_, count_);
}

void ColumnCache::restart(uint64_t from, Millis span, Millis columns) {
  columns_.clear();
  span_ = span;
  count_ = columns;
  from_ = to_ = from;
}

bool ColumnCache::still_fits(const PointRing& ring, uint64_t first_needed, Millis span,
                             Millis columns) const {
  if (&ring != ring_ || span != span_ || columns != count_) return false;
  if (first_needed < from_ || to_ > ring.pushed()) return false;
  // The last point folded must still be in the ring, and be the same one.
  const uint64_t base = ring.pushed() - ring.size();
  if (to_ == from_) return to_ >= base;
  return to_ - 1 >= base && ring[to_ - 1 - base].stamp == last_stamp_;
}

// Each new point joins the last column while its stamp lies before the next
// column; a stamp going back (the clock set back) joins it too.
void ColumnCache::fold(const PointRing& ring) {
  const uint64_t base = ring.pushed() - ring.size();
  for (uint64_t n = to_; n < ring.pushed(); ++n) {
    const SeriesPoint& p = ring[n - base];
    if (columns_.empty() || p.stamp >= next_start_) {
      const Millis index = column_of(p.stamp);
      columns_.push_back({index, n, n, p.value, p.value});
      next_start_ = column_start(index + 1);
      continue;
    }
    Column& c = columns_.back();
    if (p.value < c.low_value) {
      c.low_value = p.value;
      c.low = n;
    }
    if (p.value > c.high_value) {
      c.high_value = p.value;
      c.high = n;
    }
  }
  to_ = ring.pushed();
  if (to_ > from_) last_stamp_ = ring.newest().stamp;
}

void ColumnCache::reduce(const PointRing& ring, TimeWindow window, size_t columns,
                         ColumnPoints& out) {
  out.indices.clear();
  out.any = false;
  const size_t lo = ring.lower_bound(window.start);
  const size_t hi = ring.upper_bound(window.end);
  if (lo >= hi) return;
  out.any = true;
  const Millis span = std::max<Millis>(1, window.end - window.start);
  const auto count = static_cast<Millis>(std::max<size_t>(1, columns));
  const uint64_t base = ring.pushed() - ring.size();
  if (!still_fits(ring, base + lo, span, count)) {
    restart(base + lo, span, count);
    ring_ = &ring;
  }
  fold(ring);

  // The window's first and last columns hold points outside it (or, for the
  // first, points folded only in part): those two are scanned here; the
  // columns between come from the cache.
  const Millis first = column_of(ring[lo].stamp);
  const Millis last = column_of(ring[hi - 1].stamp);
  // Columns before the window, or whose extremes went round the ring (a
  // paused window lets the cache run ahead), are done with.
  while (!columns_.empty() && (columns_.front().index < first ||
                               std::max(columns_.front().low, columns_.front().high) < base)) {
    columns_.pop_front();
  }

  out.min = out.max = ring[lo].value;
  const auto keep = [&](size_t a, size_t b) {
    if (a > b) std::swap(a, b);
    for (const size_t i : {a, b}) {
      if (i < lo || i >= hi) continue;
      if (out.indices.empty() || i > out.indices.back()) out.indices.push_back(i);
      out.min = std::min(out.min, ring[i].value);
      out.max = std::max(out.max, ring[i].value);
    }
  };
  const auto keep_scanned = [&](size_t from, size_t to) {
    size_t low = 0;
    size_t high = 0;
    scan(ring, from, to, low, high);
    keep(low, high);
  };

  out.indices.push_back(lo);  // the line starts true
  const size_t first_end = first == last ? hi : ring.lower_bound(column_start(first + 1));
  keep_scanned(lo, std::clamp(first_end, lo + 1, hi));
  if (last > first) {
    for (const Column& c : columns_) {
      if (c.index <= first) continue;
      if (c.index >= last) break;
      keep(static_cast<size_t>(c.low - base), static_cast<size_t>(c.high - base));
    }
    const size_t last_begin = std::clamp(ring.lower_bound(column_start(last)), lo, hi - 1);
    keep_scanned(last_begin, hi);
  }
  // And ends true: the newest point in the window.
  if (out.indices.back() != hi - 1) {
    out.indices.push_back(hi - 1);
    out.min = std::min(out.min, ring[hi - 1].value);
    out.max = std::max(out.max, ring[hi - 1].value);
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
