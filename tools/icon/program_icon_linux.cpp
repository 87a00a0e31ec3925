#include <cairo.h>

#include <algorithm>
#include <cmath>

#include "gfx/icon_path.h"
#include "gfx/icons.h"
#include "gfx/palette.h"
#include "program_icon.h"

namespace lw {

namespace {

constexpr double kQuarter = 1.5707963267948966;

// Strokes the figures of an icon path in a square box. Below 64 px the
// points snap to the pixel grid and the stroke to whole pixels, so the plug
// stays crisp at 16 px instead of turning into a grey blur.
class SnappedStroke final : public PathSink {
 public:
  SnappedStroke(cairo_t* cr, float size, float box) : cr_(cr) {
    scale_ = box / 20.0f;
    width_ = 1.6f * scale_;
    snap_ = size < 64;
    if (snap_) width_ = std::max(1.0f, std::round(width_));
    // An odd stroke width sits on pixel centres, an even one on pixel edges;
    // the plug's middle line sits on the same grid, so it stays symmetric.
    offset_ = snap_ && static_cast<int>(width_) % 2 == 1 ? 0.5f : 0.0f;
    centre_ = std::round(size / 2 - offset_) + offset_;
    if (!snap_) centre_ = size / 2;
  }

  void begin_figure(Point at) override {
    current_ = map(at);
    cairo_move_to(cr_, current_.x, current_.y);
  }
  void line_to(Point to) override {
    current_ = map(to);
    cairo_line_to(cr_, current_.x, current_.y);
  }
  void arc_to(Point to, float radius, bool clockwise, bool large) override {
    const Point end = map(to);
    ArcCentre arc;
    switch (arc_centre(current_, end, radius * scale_, clockwise, large, arc)) {
      case ArcShape::arc:
        if (clockwise)
          cairo_arc(cr_, arc.centre.x, arc.centre.y, arc.radius, arc.start, arc.end);
        else
          cairo_arc_negative(cr_, arc.centre.x, arc.centre.y, arc.radius, arc.start, arc.end);
        break;
      case ArcShape::line:
        cairo_line_to(cr_, end.x, end.y);
        break;
      case ArcShape::none:
        break;
    }
    current_ = end;
  }
  void end_figure(bool closed) override {
    if (closed) cairo_close_path(cr_);
  }

  void stroke(Color c) {
    cairo_set_source_rgba(cr_, c.r, c.g, c.b, c.a);
    cairo_set_line_width(cr_, width_);
    cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr_);
  }

 private:
  float place(float u) const {
    const float v = centre_ + (u - 10.0f) * scale_;
    return snap_ ? std::round(v - offset_) + offset_ : v;
  }
  Point map(Point p) const { return {place(p.x), place(p.y)}; }

  cairo_t* cr_;
  float scale_ = 1;
  float width_ = 1;
  float centre_ = 0;
  float offset_ = 0;
  bool snap_ = false;
  Point current_;
};

}  // namespace

void draw_program_icon(cairo_t* cr, int size) {
  const float s = static_cast<float>(size);
  // A one-pixel margin at 16 px keeps the tile's edge off the icon's border,
  // where shells clip.
  const double margin = std::round(s / 16.0f);
  const double edge = s - 2 * margin;
  const double r = edge * 0.22;
  cairo_save(cr);
  cairo_set_operator(cr, CAIRO_OPERATOR_CLEAR);
  cairo_paint(cr);
  cairo_restore(cr);
  // Drawn with cairo itself rather than a CairoGfx: that one loads fonts,
  // which this never needs.
  cairo_new_sub_path(cr);
  cairo_arc(cr, margin + edge - r, margin + r, r, -kQuarter, 0);
  cairo_arc(cr, margin + edge - r, margin + edge - r, r, 0, kQuarter);
  cairo_arc(cr, margin + r, margin + edge - r, r, kQuarter, 2 * kQuarter);
  cairo_arc(cr, margin + r, margin + r, r, 2 * kQuarter, 3 * kQuarter);
  cairo_close_path(cr);
  const Color tile = light_palette[Pal::accent];
  cairo_set_source_rgba(cr, tile.r, tile.g, tile.b, tile.a);
  cairo_fill(cr);

  SnappedStroke plug(cr, s, static_cast<float>(edge) * 0.8f);
  if (parse_icon_path(icons::plug, plug)) plug.stroke(rgb(0xFFFFFF));
}

}  // namespace lw
