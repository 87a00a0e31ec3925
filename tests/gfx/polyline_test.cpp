#include "gfx/polyline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace lw {
namespace {

std::vector<Point> thin(const std::vector<Point>& in) {
  std::vector<Point> out{{99, 99}};  // cleared by the call
  thin_polyline(in, out);
  return out;
}

TEST(ThinPolyline, SparsePointsStay) {
  const std::vector<Point> in{{0.5f, 1}, {1.5f, 8}, {2.5f, 3}, {10, 4}};
  EXPECT_EQ(thin(in), in);
}

TEST(ThinPolyline, RunInOneColumnKeepsFirstExtremesAndLastInOrder) {
  // Column 3: first (3.0, 5), high (3.2, 9), low (3.6, 1), last (3.9, 4).
  const std::vector<Point> in{{2.5f, 0}, {3.0f, 5}, {3.1f, 6}, {3.2f, 9}, {3.3f, 7},
                              {3.6f, 1}, {3.7f, 2}, {3.9f, 4}, {4.1f, 3}};
  const std::vector<Point> want{{2.5f, 0}, {3.0f, 5}, {3.2f, 9}, {3.6f, 1}, {3.9f, 4}, {4.1f, 3}};
  EXPECT_EQ(thin(in), want);
}

TEST(ThinPolyline, ExtremeAtAnEndIsKeptOnce) {
  const std::vector<Point> in{{5.0f, 0}, {5.3f, 2}, {5.6f, 9}};
  const std::vector<Point> want{{5.0f, 0}, {5.6f, 9}};
  EXPECT_EQ(thin(in), want);
}

TEST(ThinPolyline, ReturningToAColumnStartsANewRun) {
  const std::vector<Point> in{{1.2f, 0}, {1.4f, 1}, {1.6f, 2}, {2.5f, 3}, {1.5f, 4}, {1.7f, 5}};
  const std::vector<Point> want{{1.2f, 0}, {1.6f, 2}, {2.5f, 3}, {1.5f, 4}, {1.7f, 5}};
  EXPECT_EQ(thin(in), want);
}

TEST(ThinPolyline, NonFinitePointsAreDropped) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const std::vector<Point> in{{nan, 1}, {0.5f, 1}, {1.5f, nan}, {1.6f, 3}, {inf, 0}, {2.5f, 2}};
  const std::vector<Point> want{{0.5f, 1}, {1.6f, 3}, {2.5f, 2}};
  EXPECT_EQ(thin(in), want);
}

TEST(ThinPolyline, DenseSeriesShrinksToAFewPointsPerColumn) {
  std::vector<Point> in;
  for (int i = 0; i < 200000; ++i) {
    const float t = static_cast<float>(i) / 200000.0f;
    in.push_back({t * 1000.0f, 100.0f + 50.0f * std::sin(t * 300.0f)});
  }
  std::vector<Point> out;
  thin_polyline(in, out);
  EXPECT_LE(out.size(), 4u * 1000u);
  EXPECT_EQ(out.front(), in.front());
  EXPECT_EQ(out.back(), in.back());
  // The extremes of the whole series survive.
  float lo = 1e9f, hi = -1e9f;
  for (Point p : out) lo = std::min(lo, p.y), hi = std::max(hi, p.y);
  float want_lo = 1e9f, want_hi = -1e9f;
  for (Point p : in) want_lo = std::min(want_lo, p.y), want_hi = std::max(want_hi, p.y);
  EXPECT_EQ(lo, want_lo);
  EXPECT_EQ(hi, want_hi);
}

}  // namespace
}  // namespace lw

namespace lw {
namespace {

TEST(ThinPolyline, PointsAlmostOnTheLastOneAreDropped) {
  const std::vector<Point> in{{1.0f, 5}, {1.0f, 5}, {1.02f, 5.03f}, {2.0f, 5}, {2.0f, 5.2f}};
  const std::vector<Point> want{{1.0f, 5}, {2.0f, 5}, {2.0f, 5.2f}};
  EXPECT_EQ(thin(in), want);
}

}  // namespace
}  // namespace lw
