#pragma once
// What the plot needs of one series: per pixel column of the time window,
// its lowest and highest point (and the window's first and last point), so
// the line stroked through the kept points covers the same pixels as the
// whole series would. The columns are fixed in time (column k holds the
// stamps t with floor(t * columns / span) == k), so while the window slides
// they stay what they were: a cache per series folds in only the points
// pushed since the last frame, and a frame costs the new points plus a few
// per column instead of every point in the window.
#include <cstddef>
#include <cstdint>
#include <deque>
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

class ColumnCache {
 public:
  // columns: the plot's width in pixels (at least 1). Another ring, span or
  // width than the last call's, a window reaching further back than the
  // points already folded, or points that went round the ring unseen make
  // it start over from the window's first point.
  void reduce(const PointRing& ring, TimeWindow window, size_t columns, ColumnPoints& out);

 private:
  struct Column {
    Millis index;
    uint64_t low;  // point numbers (PointRing::pushed)
    uint64_t high;
    double low_value;
    double high_value;
  };

  void restart(uint64_t from, Millis span, Millis columns);
  void fold(const PointRing& ring);
  bool still_fits(const PointRing& ring, uint64_t first_needed, Millis span, Millis columns) const;
  Millis column_of(Millis t) const;
  Millis column_start(Millis column) const;

  const PointRing* ring_ = nullptr;
  std::deque<Column> columns_;  // ascending
  Millis span_ = 0;
  Millis count_ = 0;       // columns per span
  uint64_t from_ = 0;      // the first point folded
  uint64_t to_ = 0;        // one past the last
  Millis last_stamp_ = 0;  // of point to_ - 1
  Millis next_start_ = 0;  // where the column after the last begins
};

// The shown tab's caches, one per series, kept by the window between frames.
struct GraphColumns {
  uint64_t session_id = 0;
  std::vector<ColumnCache> series;
};

// Drops the points of a screen polyline (x never decreasing) that lie
// within `tolerance` pixels, vertically, of the line through the kept points
// around them, so a smooth stretch costs a few segments instead of one per
// pixel column. One pass; the first and last points stay.
void simplify_polyline(std::vector<Point>& points, float tolerance);

}  // namespace lw
