#include "gfx/polyline.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace lw {

namespace {

bool near(Point a, Point b) {
  constexpr float limit = 1.0f / 16;
  return std::fabs(a.x - b.x) < limit && std::fabs(a.y - b.y) < limit;
}

}  // namespace

void thin_polyline(std::span<const Point> in, std::vector<Point>& out) {
  out.clear();
  size_t i = 0;
  const size_t n = in.size();
  const auto finite = [](Point p) { return std::isfinite(p.x) && std::isfinite(p.y); };
  while (i < n) {
    if (!finite(in[i])) {
      ++i;
      continue;
    }
    const float column = std::floor(in[i].x);
    const size_t first = i;
    size_t last = i, low = i, high = i;
    for (++i; i < n; ++i) {
      const Point p = in[i];
      if (!finite(p)) continue;
      if (std::floor(p.x) != column) break;
      last = i;
      if (p.y < in[low].y) low = i;
      if (p.y > in[high].y) high = i;
    }
    std::array<size_t, 4> keep{first, low, high, last};
    std::sort(keep.begin(), keep.end());
    const auto end = std::unique(keep.begin(), keep.end());
    for (auto k = keep.begin(); k != end; ++k) {
      // A segment much shorter than a pixel adds nothing, and some stroke
      // builders (Wine's Direct2D) turn one into a stray line.
      if (out.empty() || !near(out.back(), in[*k])) out.push_back(in[*k]);
    }
  }
}

}  // namespace lw
