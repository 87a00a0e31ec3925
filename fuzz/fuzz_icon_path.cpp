// The icon path language and the arc geometry the back ends draw it with.
// The sink always sees well-formed figures (begin, segments, end; nothing
// outside a figure, nothing left open) and a false answer only when a segment
// had no figure; every arc, turned into its centre form and into Bezier
// pieces as the back ends do, lies on its circle, turns the asked way, and
// ends exactly at its end point.
//
// Input: the path text.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "gfx/icon_path.h"

namespace {

using lw::Point;

bool finite(Point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

double distance(Point a, Point b) {
  return std::hypot(static_cast<double>(a.x) - b.x, static_cast<double>(a.y) - b.y);
}

// Sizes where float arithmetic still places points well; the icons use a
// 20 x 20 box.
bool moderate(Point p) { return std::fabs(p.x) <= 1e4f && std::fabs(p.y) <= 1e4f; }

void check_arc(Point from, Point to, float radius, bool clockwise, bool large) {
  lw::ArcCentre arc;
  const lw::ArcShape shape = lw::arc_centre(from, to, radius, clockwise, large, arc);
  if (shape != lw::ArcShape::arc) return;
  std::vector<lw::CubicPiece> pieces;
  lw::arc_beziers(arc, to, pieces);
  if (!finite(from) || !finite(to) || !std::isfinite(radius)) return;
  if (!moderate(from) || !moderate(to) || std::fabs(radius) > 1e4f) return;

  const double chord = distance(from, to);
  const double r = arc.radius;
  const double tolerance =
      1e-3 * std::max({1.0, r, static_cast<double>(std::fabs(from.x)),
                       static_cast<double>(std::fabs(from.y)), static_cast<double>(std::fabs(to.x)),
                       static_cast<double>(std::fabs(to.y))});
  LW_FUZZ_CHECK(std::isfinite(r) && r >= std::fabs(radius) * (1 - 1e-6) - 1e-6);
  LW_FUZZ_CHECK(r >= chord / 2 - tolerance);
  LW_FUZZ_CHECK(std::fabs(distance(arc.centre, from) - r) <= tolerance);
  LW_FUZZ_CHECK(std::fabs(distance(arc.centre, to) - r) <= tolerance);
  const double sweep = static_cast<double>(arc.end) - arc.start;
  LW_FUZZ_CHECK(clockwise ? sweep >= 0 : sweep <= 0);
  LW_FUZZ_CHECK(std::fabs(sweep) <= 2 * std::numbers::pi + 1e-4);

  LW_FUZZ_CHECK(!pieces.empty() && pieces.size() <= 4);
  LW_FUZZ_CHECK(pieces.back().to == to);
  for (const lw::CubicPiece& piece : pieces) {
    LW_FUZZ_CHECK(finite(piece.c1) && finite(piece.c2) && finite(piece.to));
    LW_FUZZ_CHECK(std::fabs(distance(arc.centre, piece.to) - r) <= tolerance);
  }
}

// Checks the order of calls and hands every arc to check_arc.
class CheckingSink : public lw::PathSink {
 public:
  void begin_figure(Point at) override {
    LW_FUZZ_CHECK(!open_);
    open_ = true;
    at_ = at;
  }
  void line_to(Point to) override {
    LW_FUZZ_CHECK(open_);
    at_ = to;
  }
  void arc_to(Point to, float radius, bool clockwise, bool large) override {
    LW_FUZZ_CHECK(open_);
    check_arc(at_, to, radius, clockwise, large);
    at_ = to;
  }
  void end_figure(bool) override {
    LW_FUZZ_CHECK(open_);
    open_ = false;
  }
  bool open() const { return open_; }

 private:
  bool open_ = false;
  Point at_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CheckingSink sink;
  lw::parse_icon_path(lw::fuzz::as_text(data, size), sink);
  // On success the last figure was ended; a failure comes only where no
  // figure was open.
  LW_FUZZ_CHECK(!sink.open());
  return 0;
}
