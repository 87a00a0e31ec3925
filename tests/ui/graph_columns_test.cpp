#include "ui/graph/graph_columns.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

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

TEST(ColumnPoints, KeepsEachColumnsExtremesAndTheEnds) {
  const PointRing ring = wrapped_ring(5000, 7300);  // stamps 23,000 .. 72,990
  const TimeWindow window{30'000, 70'000};
  const size_t columns = 97;
  ColumnPoints cp;
  column_points(ring, window, columns, cp);
  ASSERT_TRUE(cp.any);

  const size_t lo = ring.lower_bound(window.start);
  const size_t hi = ring.upper_bound(window.end);
  std::set<size_t> kept(cp.indices.begin(), cp.indices.end());
  EXPECT_EQ(kept.size(), cp.indices.size());
  EXPECT_TRUE(std::is_sorted(cp.indices.begin(), cp.indices.end()));
  EXPECT_EQ(cp.indices.front(), lo);
  EXPECT_EQ(cp.indices.back(), hi - 1);

  // Brute force: every column's lowest and highest value is among the kept.
  double mn = ring[lo].value, mx = mn;
  for (size_t c = 0; c < columns; ++c) {
    std::optional<double> low, high;
    for (size_t i = lo; i < hi; ++i) {
      const auto col = static_cast<size_t>((ring[i].stamp - window.start) *
                                           static_cast<Millis>(columns) / 40'000);
      if (std::min(col, columns - 1) != c) continue;
      low = low ? std::min(*low, ring[i].value) : ring[i].value;
      high = high ? std::max(*high, ring[i].value) : ring[i].value;
    }
    if (!low) continue;
    bool has_low = false, has_high = false;
    for (size_t k : cp.indices) {
      has_low |= ring[k].value == *low;
      has_high |= ring[k].value == *high;
    }
    EXPECT_TRUE(has_low && has_high) << "column " << c;
    mn = std::min(mn, *low);
    mx = std::max(mx, *high);
  }
  EXPECT_DOUBLE_EQ(cp.min, mn);
  EXPECT_DOUBLE_EQ(cp.max, mx);
  EXPECT_LE(cp.indices.size(), 2 * columns + 2);
}

TEST(ColumnPoints, EmptyAndSinglePointWindows) {
  PointRing ring(10);
  ColumnPoints cp;
  column_points(ring, {0, 100}, 50, cp);
  EXPECT_FALSE(cp.any);
  ring.push({50, 3});
  column_points(ring, {0, 100}, 50, cp);
  ASSERT_TRUE(cp.any);
  EXPECT_EQ(cp.indices, std::vector<size_t>{0});
  column_points(ring, {51, 100}, 50, cp);
  EXPECT_FALSE(cp.any);
  column_points(ring, {0, 50}, 50, cp);  // both ends included
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
