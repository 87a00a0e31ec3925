#include "ui/graph/graph_columns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <optional>
#include <set>
#include <utility>
#include <vector>

namespace lw {
namespace {

// A ring that has wrapped: its seam lies inside the window.
PointRing wrapped_ring(size_t capacity, size_t pushed) {
  PointRing ring(capacity);
  for (size_t i = 0; i < pushed; ++i) {
    const double x = static_cast<double>(i);
    ring.push({static_cast<Millis>(i * 10), std::sin(x / 7.0) * 10 + std::fmod(x * 7.3, 3.0)});
  }
  return ring;
}

TEST(ColumnCache, KeepsEachColumnsExtremesAndTheEnds) {
  const PointRing ring = wrapped_ring(5000, 7300);  // stamps 23,000 .. 72,990
  const TimeWindow window{30'005, 70'005};
  const Millis span = 40'000;
  const size_t columns = 97;
  ColumnCache cache;
  ColumnPoints cp;
  cache.reduce(ring, window, columns, cp);
  ASSERT_TRUE(cp.any);

  const size_t lo = ring.lower_bound(window.start);
  const size_t hi = ring.upper_bound(window.end);
  std::set<size_t> kept(cp.indices.begin(), cp.indices.end());
  EXPECT_EQ(kept.size(), cp.indices.size());
  EXPECT_TRUE(std::is_sorted(cp.indices.begin(), cp.indices.end()));
  EXPECT_EQ(cp.indices.front(), lo);
  EXPECT_EQ(cp.indices.back(), hi - 1);

  // Brute force: every column's lowest and highest value in the window is
  // among the kept; columns are fixed in time, floor(t * columns / span).
  std::map<Millis, std::pair<double, double>> extremes;
  double mn = ring[lo].value, mx = mn;
  for (size_t i = lo; i < hi; ++i) {
    const Millis col = ring[i].stamp * static_cast<Millis>(columns) / span;
    const double v = ring[i].value;
    auto [it, fresh] = extremes.try_emplace(col, v, v);
    it->second = {std::min(it->second.first, v), std::max(it->second.second, v)};
    mn = std::min(mn, v);
    mx = std::max(mx, v);
  }
  EXPECT_LE(extremes.size(), columns + 1);
  for (const auto& [col, e] : extremes) {
    bool has_low = false, has_high = false;
    for (size_t k : cp.indices) {
      has_low |= ring[k].value == e.first;
      has_high |= ring[k].value == e.second;
    }
    EXPECT_TRUE(has_low && has_high) << "column " << col;
  }
  EXPECT_DOUBLE_EQ(cp.min, mn);
  EXPECT_DOUBLE_EQ(cp.max, mx);
  EXPECT_LE(cp.indices.size(), 2 * (columns + 1) + 2);
}

// Frame after frame, a cache kept from the last frame gives exactly what a
// fresh one gives, while points arrive and go round the ring, the window
// slides, pauses, goes back, and the span and width change.
TEST(ColumnCache, KeptFromFrameToFrameEqualsAFreshOne) {
  struct Frame {
    size_t add;  // points pushed before the frame, 7 ms apart
    Millis span;
    size_t columns;
    std::optional<Millis> paused_at;
  };
  const std::vector<Frame> frames = {
      {1, 10'000, 300, {}},      {1, 10'000, 300, {}},      {500, 10'000, 300, {}},
      {37, 10'000, 300, {}},     {2000, 10'000, 300, {}},   {3, 10'000, 300, {}},
      {900, 10'000, 300, {}},    {0, 10'000, 300, {}},      {5000, 10'000, 300, {}},
      {40, 10'000, 300, 20'000}, {40, 10'000, 300, 20'000}, {40, 10'000, 300, 5'000},
      {40, 10'000, 300, {}},     {400, 30'000, 300, {}},    {400, 30'000, 211, {}},
      {6000, 30'000, 211, {}},   {1, 30'000, 211, {}},      {3000, 2'000, 1000, {}},
      {20, 2'000, 1000, {}},     {20000, 2'000, 1000, {}},  {5, 2'000, 1000, {}},
  };
  PointRing ring(4000);  // goes round several times
  ColumnCache kept;
  uint64_t n = 0;
  for (size_t f = 0; f < frames.size(); ++f) {
    for (size_t i = 0; i < frames[f].add; ++i, ++n) {
      const double x = static_cast<double>(n);
      ring.push({static_cast<Millis>(n * 7), std::sin(x / 11.0) * 5 + std::fmod(x * 3.7, 2.0)});
    }
    const Millis now = static_cast<Millis>(n * 7);
    const Millis end = frames[f].paused_at.value_or(now);
    const TimeWindow window{end - frames[f].span, end};
    ColumnPoints a, b;
    kept.reduce(ring, window, frames[f].columns, a);
    ColumnCache fresh;
    fresh.reduce(ring, window, frames[f].columns, b);
    EXPECT_EQ(a.any, b.any) << "frame " << f;
    EXPECT_EQ(a.indices, b.indices) << "frame " << f;
    EXPECT_EQ(a.min, b.min) << "frame " << f;
    EXPECT_EQ(a.max, b.max) << "frame " << f;
  }
  // Another ring with as many points pushed is not mistaken for this one.
  PointRing other(4000);
  for (uint64_t i = 0; i < n; ++i) other.push({static_cast<Millis>(i * 7), 1.0});
  ColumnPoints c;
  const Millis now = static_cast<Millis>(n * 7);
  kept.reduce(other, {now - 2'000, now}, 1000, c);
  ASSERT_TRUE(c.any);
  EXPECT_EQ(c.min, 1.0);
  EXPECT_EQ(c.max, 1.0);
}

TEST(ColumnCache, EmptyAndSinglePointWindows) {
  PointRing ring(10);
  ColumnCache cache;
  ColumnPoints cp;
  cache.reduce(ring, {0, 100}, 50, cp);
  EXPECT_FALSE(cp.any);
  ring.push({50, 3});
  cache.reduce(ring, {0, 100}, 50, cp);
  ASSERT_TRUE(cp.any);
  EXPECT_EQ(cp.indices, std::vector<size_t>{0});
  cache.reduce(ring, {51, 100}, 50, cp);
  EXPECT_FALSE(cp.any);
  cache.reduce(ring, {0, 50}, 50, cp);  // both ends included
  EXPECT_TRUE(cp.any);
}

float y_on(const std::vector<Point>& line, float x) {
  for (size_t i = 1; i < line.size(); ++i) {
    if (x <= line[i].x) {
      const Point a = line[i - 1], b = line[i];
      if (b.x - a.x < 1e-6f) return a.y;
      return a.y + (b.y - a.y) * (x - a.x) / (b.x - a.x);
    }
  }
  return line.back().y;
}

TEST(SimplifyPolyline, SmoothLinesShrinkWithinTheTolerance) {
  std::vector<Point> curve;
  for (int i = 0; i < 800; ++i) {
    curve.push_back(
        {100.0f + static_cast<float>(i), 200 + 60 * std::sin(static_cast<float>(i) / 90)});
  }
  std::vector<Point> simple = curve;
  simplify_polyline(simple, 0.3f);
  EXPECT_LT(simple.size(), 120u);
  EXPECT_EQ(simple.front(), curve.front());
  EXPECT_EQ(simple.back(), curve.back());
  for (const Point& p : curve) EXPECT_NEAR(y_on(simple, p.x), p.y, 0.31f) << p.x;

  // A straight line is its two ends.
  std::vector<Point> straight = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 4}};
  simplify_polyline(straight, 0.3f);
  EXPECT_EQ(straight, (std::vector<Point>{{0, 0}, {4, 4}}));
}

TEST(SimplifyPolyline, ZigZagsAndVerticalSpansStay) {
  std::vector<Point> zig = {{0, 0}, {1, 10}, {2, 0}, {3, 10}, {4, 0}};
  std::vector<Point> copy = zig;
  simplify_polyline(copy, 0.3f);
  EXPECT_EQ(copy, zig);
  // A column's low and high point on one x.
  std::vector<Point> spans = {{0, 5}, {1, 0}, {1, 9}, {2, 4}, {3, 4}};
  copy = spans;
  simplify_polyline(copy, 0.3f);
  EXPECT_EQ(copy, (std::vector<Point>{{0, 5}, {1, 0}, {1, 9}, {2, 4}, {3, 4}}));
}

}  // namespace
}  // namespace lw
