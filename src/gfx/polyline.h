#pragma once
// Thinning of dense polylines before they are stroked.
#include <span>
#include <vector>

#include "gfx/gfx.h"

namespace lw {

// Replaces every run of consecutive points that fall in the same pixel
// column (same floor(x)) by at most four of them, in their original order:
// the first, the lowest, the highest and the last. The thinned line covers
// the same pixels within a fraction of a pixel, so a series of 200,000
// points over 1,000 columns strokes about 4,000 segments. Points that are
// not finite, and a point equal to the one before, are dropped. `out` is
// cleared first.
void thin_polyline(std::span<const Point> in, std::vector<Point>& out);

}  // namespace lw
