#pragma once
// The icon path language: a text of commands and numbers separated by white
// space, in a 20 x 20 box with the origin top-left and y down.
//
//   M x y        new figure at (x, y)
//   L x y        line to (x, y)
//   A r x y      arc of radius r to (x, y), clockwise, small   (a: counter-clockwise)
//   B r x y      the same, large arc                            (b: counter-clockwise)
//   C cx cy r    full circle, closed figure
//   R x y w h r  rounded rectangle, closed figure
//   D x y        dot: a line of length 0.01 that round caps make a dot
//   Z            close the figure
//
// A command is a token of exactly one byte; it takes the following tokens as
// its operands whatever they are, and an operand that is missing or not a
// decimal number counts as 0. Every other token is skipped. A new figure
// ends an open one open; at the end an open figure is ended open.
#include <cstdint>
#include <string_view>
#include <vector>

#include "gfx/gfx.h"

namespace lw {

// Receives the figures of one icon. Figures are hollow (icons are only
// stroked). Calls always come in the order begin_figure, segments, end_figure.
class PathSink {
 public:
  virtual ~PathSink() = default;
  virtual void begin_figure(Point at) = 0;
  virtual void line_to(Point to) = 0;
  // Circular arc from the current point; the two radii are equal, no rotation.
  virtual void arc_to(Point to, float radius, bool clockwise, bool large) = 0;
  virtual void end_figure(bool closed) = 0;
};

// Feeds the figures of `path` to the sink. Returns false, after feeding what
// came before, when a line, arc or Z has no open figure to go on: the
// geometry back ends reject that, so such an icon is not drawn anywhere.
bool parse_icon_path(std::string_view path, PathSink& sink);

// An arc in centre form: from angle `start` to `end` (radians, measured in
// the y-down box, so growing angles turn clockwise on screen). For a
// clockwise arc end >= start, otherwise end <= start.
struct ArcCentre {
  Point centre;
  float radius = 0;
  float start = 0;
  float end = 0;
};

enum class ArcShape : uint8_t { arc, line, none };

// The centre form of an arc from `from` to `to`, as the geometry back ends
// draw it: a radius too small to span the chord grows to half the chord; a
// radius of 0 gives a straight line and equal end points give nothing.
ArcShape arc_centre(Point from, Point to, float radius, bool clockwise, bool large, ArcCentre& out);

// One cubic Bezier segment from the current point.
struct CubicPiece {
  Point c1, c2, to;
};

// The arc as cubic Bezier segments of at most a quarter turn each, ending
// exactly at `to` (within a few ten-thousandths of the radius everywhere):
// for geometry back ends whose own arcs cannot be trusted. `out` is cleared.
void arc_beziers(const ArcCentre& arc, Point to, std::vector<CubicPiece>& out);

}  // namespace lw
