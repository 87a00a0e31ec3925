#include <cairo.h>
#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <unordered_map>
#include <vector>

#include "gfx/gfx_cairo.h"
#include "gfx/icon_path.h"
#include "gfx/pango_text_linux.h"
#include "gfx/polyline.h"

namespace lw {
namespace {

// An icon's figures, recorded once and replayed on every draw.
struct IconOp {
  enum Kind : uint8_t { move, line, arc, arc_negative, close } kind;
  float x = 0, y = 0;                    // move, line
  float radius = 0, start = 0, end = 0;  // arcs, with the centre in x, y
};
using IconOps = std::vector<IconOp>;

class IconRecorder final : public PathSink {
 public:
  explicit IconRecorder(IconOps& ops) : ops_(ops) {}
  void begin_figure(Point at) override {
    ops_.push_back({IconOp::move, at.x, at.y});
    at_ = at;
  }
  void line_to(Point to) override {
    ops_.push_back({IconOp::line, to.x, to.y});
    at_ = to;
  }
  void arc_to(Point to, float radius, bool clockwise, bool large) override {
    ArcCentre a;
    switch (arc_centre(at_, to, radius, clockwise, large, a)) {
      case ArcShape::arc:
        ops_.push_back({clockwise ? IconOp::arc : IconOp::arc_negative, a.centre.x, a.centre.y,
                        a.radius, a.start, a.end});
        break;
      case ArcShape::line:
        ops_.push_back({IconOp::line, to.x, to.y});
        break;
      case ArcShape::none:
        break;
    }
    at_ = to;
  }
  void end_figure(bool closed) override {
    if (closed) ops_.push_back({IconOp::close});
  }

 private:
  IconOps& ops_;
  Point at_;
};

// Segments per stroke of a polyline.
constexpr size_t polyline_piece = 32;

struct StringHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

void set_colour(cairo_t* cr, Color c) {
  cairo_set_source_rgba(cr, static_cast<double>(c.r), static_cast<double>(c.g),
                        static_cast<double>(c.b), static_cast<double>(c.a));
}

void rounded_rect_path(cairo_t* cr, Rect r, float radius) {
  const double x = r.x, y = r.y, w = r.w, h = r.h;
  const double rad = std::clamp(static_cast<double>(radius), 0.0, std::min(w, h) / 2);
  constexpr double pi = std::numbers::pi;
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - rad, y + rad, rad, -pi / 2, 0);
  cairo_arc(cr, x + w - rad, y + h - rad, rad, 0, pi / 2);
  cairo_arc(cr, x + rad, y + h - rad, rad, pi / 2, pi);
  cairo_arc(cr, x + rad, y + rad, rad, pi, 3 * pi / 2);
  cairo_close_path(cr);
}

class CairoGfxImpl final : public CairoGfx {
 public:
  CairoGfxImpl(float scale, const FontFamilies& families) : text_(scale, families) {}

  void set_target(cairo_t* cr) override {
    end_frame();
    cr_ = cr;
  }
  void set_scale(float scale) override { text_.set_scale(scale); }
  float scale() const override { return text_.scale(); }

  void begin_frame(Color background) override {
    if (cr_ == nullptr || in_frame_) return;
    cairo_save(cr_);
    cairo_identity_matrix(cr_);
    cairo_reset_clip(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_SOURCE);
    set_colour(cr_, background);
    cairo_paint(cr_);
    cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
    in_frame_ = true;
  }

  void end_frame() override {
    if (cr_ == nullptr || !in_frame_) return;
    for (; clip_depth_ > 0; --clip_depth_) cairo_restore(cr_);
    cairo_restore(cr_);
    cairo_surface_flush(cairo_get_target(cr_));
    in_frame_ = false;
  }

  void fill_rect(Rect r, Color c) override {
    if (!in_frame_) return;
    cairo_rectangle(cr_, r.x, r.y, r.w, r.h);
    set_colour(cr_, c);
    cairo_fill(cr_);
  }

  void fill_rounded_rect(Rect r, float radius, Color c) override {
    if (!in_frame_) return;
    rounded_rect_path(cr_, r, radius);
    set_colour(cr_, c);
    cairo_fill(cr_);
  }

  void stroke_rect(Rect r, float width, Color c) override {
    if (!in_frame_) return;
    cairo_rectangle(cr_, r.x, r.y, r.w, r.h);
    stroke(width, c, CAIRO_LINE_CAP_BUTT, CAIRO_LINE_JOIN_MITER);
  }

  void stroke_rounded_rect(Rect r, float radius, float width, Color c) override {
    if (!in_frame_) return;
    rounded_rect_path(cr_, r, radius);
    stroke(width, c, CAIRO_LINE_CAP_BUTT, CAIRO_LINE_JOIN_MITER);
  }

  void fill_circle(Point centre, float radius, Color c) override {
    if (!in_frame_) return;
    cairo_new_sub_path(cr_);
    cairo_arc(cr_, centre.x, centre.y, radius, 0, 2 * std::numbers::pi);
    set_colour(cr_, c);
    cairo_fill(cr_);
  }

  void line(Point from, Point to, float width, Color c) override {
    if (!in_frame_) return;
    cairo_move_to(cr_, from.x, from.y);
    cairo_line_to(cr_, to.x, to.y);
    stroke(width, c, CAIRO_LINE_CAP_BUTT, CAIRO_LINE_JOIN_MITER);
  }

  void polyline(std::span<const Point> points, float width, Color c) override {
    if (!in_frame_ || points.size() < 2) return;
    thin_polyline(points, thinned_);
    const size_t n = thinned_.size();
    if (n < 2) return;
    // Stroked in short pieces, a dense series keeps the scan converter's
    // list of edges short. Round caps at the seams cover what the round
    // joins would, so for an opaque colour the result is the same; a
    // translucent one is stroked whole so that the seams do not darken.
    const size_t piece = c.a >= 1.0f ? polyline_piece : n;
    // The faster antialiasing is indistinguishable on thin lines.
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_FAST);
    for (size_t i = 0; i + 1 < n; i += piece) {
      const size_t end = std::min(n, i + piece + 1);
      cairo_move_to(cr_, thinned_[i].x, thinned_[i].y);
      for (size_t k = i + 1; k < end; ++k) cairo_line_to(cr_, thinned_[k].x, thinned_[k].y);
      stroke(width, c, CAIRO_LINE_CAP_ROUND, CAIRO_LINE_JOIN_ROUND);
    }
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_DEFAULT);
  }

  void push_clip(Rect r) override {
    if (!in_frame_) return;
    cairo_save(cr_);
    cairo_rectangle(cr_, r.x, r.y, r.w, r.h);
    cairo_clip(cr_);
    ++clip_depth_;
  }

  void pop_clip() override {
    if (!in_frame_ || clip_depth_ == 0) return;
    cairo_restore(cr_);
    --clip_depth_;
  }

  void draw_text(std::string_view text, Rect r, Color c, TextFormat format, Align align) override {
    if (!in_frame_ || text.empty()) return;
    PangoLayout* l = text_.layout(text, r.w, format, align);
    const float top = r.y + std::round((r.h - PangoText::height(l)) / 2);
    cairo_move_to(cr_, r.x, top);
    set_colour(cr_, c);
    pango_cairo_show_layout(cr_, l);
    cairo_new_path(cr_);
  }

  float measure_text(std::string_view text, TextFormat format) override {
    return PangoText::width(text_.layout(text, measure_width, format, Align::leading));
  }

  std::unique_ptr<TextLayout> text_layout(std::string_view text, float max_width, TextFormat format,
                                          Align align) override {
    return make_pango_text_layout(text_.layout(text, max_width, format, align));
  }

  void draw_icon(std::string_view path, Point centre, float size, Color c) override {
    if (!in_frame_) return;
    const IconOps* ops = icon(path);
    if (ops == nullptr) return;
    const double s = static_cast<double>(size) / 20;
    cairo_save(cr_);
    cairo_translate(cr_, centre.x - 10 * s, centre.y - 10 * s);
    cairo_scale(cr_, s, s);
    cairo_new_path(cr_);
    for (const IconOp& op : *ops) {
      switch (op.kind) {
        case IconOp::move:
          cairo_move_to(cr_, op.x, op.y);
          break;
        case IconOp::line:
          cairo_line_to(cr_, op.x, op.y);
          break;
        case IconOp::arc:
          cairo_arc(cr_, op.x, op.y, op.radius, op.start, op.end);
          break;
        case IconOp::arc_negative:
          cairo_arc_negative(cr_, op.x, op.y, op.radius, op.start, op.end);
          break;
        case IconOp::close:
          cairo_close_path(cr_);
          break;
      }
    }
    stroke(1.6f, c, CAIRO_LINE_CAP_ROUND, CAIRO_LINE_JOIN_ROUND);
    cairo_restore(cr_);
  }

 private:
  void stroke(float width, Color c, cairo_line_cap_t cap, cairo_line_join_t join) {
    cairo_set_line_width(cr_, width);
    cairo_set_line_cap(cr_, cap);
    cairo_set_line_join(cr_, join);
    set_colour(cr_, c);
    cairo_stroke(cr_);
  }

  // The parsed icon, parsed on first use; nullptr (and nothing kept) when
  // the text does not make a geometry.
  const IconOps* icon(std::string_view path) {
    if (auto it = icons_.find(path); it != icons_.end()) return &it->second;
    IconOps ops;
    IconRecorder recorder(ops);
    if (!parse_icon_path(path, recorder)) return nullptr;
    return &icons_.emplace(std::string(path), std::move(ops)).first->second;
  }

  PangoText text_;
  cairo_t* cr_ = nullptr;
  bool in_frame_ = false;
  int clip_depth_ = 0;
  std::vector<Point> thinned_;
  std::unordered_map<std::string, IconOps, StringHash, std::equal_to<>> icons_;
};

}  // namespace

std::unique_ptr<CairoGfx> create_cairo_gfx(float scale, const FontFamilies& families) {
  return std::make_unique<CairoGfxImpl>(scale, families);
}

}  // namespace lw
