#pragma once
// What the plot needs of one series: per pixel column of the time window,
// its lowest and highest point (and the window's first and last point). The column ends are found
// by bisection, so the cost is one pass over the values in the window, and the line stroked through
// the kept points covers the same pixels as the whole series would.
#include <cstddef>
#include <vector>

#include "gfx/gfx.h"
#include "lab/series.h"

namespace lw {

struct ColumnPoints {
  std::vector<size_t> indices;  // into the ring, ascending
  bool any = false;             // a point lies in the window
  double min = 0;
  double max = 0;
};

// columns: the plot's width in pixels (at least 1).
void column_points(const PointRing& ring, TimeWindow window, size_t columns, ColumnPoints& out);

// Drops the points of a screen polyline (x never decreasing) that lie
// within `tolerance` pixels, vertically, of the line through the kept points
// around them, so a smooth stretch costs a few segments instead of one per
// pixel column. One pass; the first and last points stay.
void simplify_polyline(std::vector<Point>& points, float tolerance);

}  // namespace lw
