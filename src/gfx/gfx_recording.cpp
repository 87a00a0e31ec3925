#include "gfx/gfx_recording.h"

#include <algorithm>
#include <cmath>

#include "base/utf8.h"
#include "gfx/icon_path.h"
#include "gfx/text_formats.h"

namespace lw {
namespace {

size_t char_count(std::string_view s) { return utf32_from_utf8(s).size(); }

std::string first_chars(std::string_view s, size_t n) {
  std::u32string u = utf32_from_utf8(s);
  u.resize(std::min(n, u.size()));
  return utf8_from_utf32(u);
}

class NullSink final : public PathSink {
 public:
  void begin_figure(Point) override {}
  void line_to(Point) override {}
  void arc_to(Point, float, bool, bool) override {}
  void end_figure(bool) override {}
};

class RecordingLayout final : public TextLayout {
 public:
  RecordingLayout(size_t chars, float char_width, float height, float offset)
      : chars_(chars), char_width_(char_width), height_(height), offset_(offset) {}

  float width() const override { return static_cast<float>(chars_) * char_width_; }
  float height() const override { return height_; }
  float caret_x(size_t index) const override {
    return offset_ + static_cast<float>(std::min(index, chars_)) * char_width_;
  }
  size_t index_at(float x) const override {
    const float cell = std::round((x - offset_) / char_width_);
    if (cell <= 0) return 0;
    return std::min(chars_, static_cast<size_t>(cell));
  }

 private:
  size_t chars_;  // characters shown, the ellipsis counted as one
  float char_width_;
  float height_;
  float offset_;
};

}  // namespace

float RecordingGfx::char_width(TextFormat format) const {
  return 7.0f * format_spec(format).size / 13.0f * scale_;
}

float RecordingGfx::line_height(TextFormat format) const {
  return 1.3f * format_spec(format).size * scale_;
}

std::string RecordingGfx::trimmed(std::string_view text, float max_width, TextFormat format) const {
  const float cw = char_width(format);
  const size_t n = char_count(text);
  if (static_cast<float>(n) * cw <= max_width) return std::string(text);
  const float fit = std::floor(max_width / cw) - 1.0f;
  return first_chars(text, fit > 0 ? static_cast<size_t>(fit) : 0) + "…";
}

std::vector<DrawCall> RecordingGfx::calls_of(DrawKind kind) const {
  std::vector<DrawCall> out;
  for (const DrawCall& c : calls_)
    if (c.kind == kind) out.push_back(c);
  return out;
}

std::vector<DrawCall> RecordingGfx::texts(std::string_view shown) const {
  std::vector<DrawCall> out;
  for (const DrawCall& c : calls_)
    if (c.kind == DrawKind::text && c.shown == shown) out.push_back(c);
  return out;
}

DrawCall& RecordingGfx::add(DrawKind kind, Rect r, Color c) {
  DrawCall& call = calls_.emplace_back();
  call.kind = kind;
  call.rect = r;
  call.colour = c;
  if (!clips_.empty()) call.clip = clips_.back();
  return call;
}

void RecordingGfx::begin_frame(Color background) {
  calls_.clear();
  clips_.clear();
  add(DrawKind::clear, {}, background);
}

void RecordingGfx::end_frame() {
  clips_.clear();
  add(DrawKind::end_frame, {}, {});
}

void RecordingGfx::fill_rect(Rect r, Color c) { add(DrawKind::fill_rect, r, c); }

void RecordingGfx::fill_rounded_rect(Rect r, float radius, Color c) {
  add(DrawKind::fill_rounded_rect, r, c).radius = radius;
}

void RecordingGfx::stroke_rect(Rect r, float width, Color c) {
  add(DrawKind::stroke_rect, r, c).width = width;
}

void RecordingGfx::stroke_rounded_rect(Rect r, float radius, float width, Color c) {
  DrawCall& call = add(DrawKind::stroke_rounded_rect, r, c);
  call.radius = radius;
  call.width = width;
}

void RecordingGfx::fill_circle(Point centre, float radius, Color c) {
  add(DrawKind::fill_circle, {centre.x - radius, centre.y - radius, 2 * radius, 2 * radius}, c)
      .radius = radius;
}

void RecordingGfx::line(Point from, Point to, float width, Color c) {
  DrawCall& call = add(DrawKind::line, {}, c);
  call.width = width;
  call.points = {from, to};
}

void RecordingGfx::polyline(std::span<const Point> points, float width, Color c) {
  DrawCall& call = add(DrawKind::polyline, {}, c);
  call.width = width;
  call.points.assign(points.begin(), points.end());
}

void RecordingGfx::push_clip(Rect r) {
  Rect eff = r;
  if (!clips_.empty()) {
    const Rect& o = clips_.back();
    const float x0 = std::max(o.x, r.x), y0 = std::max(o.y, r.y);
    const float x1 = std::min(o.right(), r.right()), y1 = std::min(o.bottom(), r.bottom());
    eff = {x0, y0, std::max(0.0f, x1 - x0), std::max(0.0f, y1 - y0)};
  }
  add(DrawKind::push_clip, r, {});
  clips_.push_back(eff);
}

void RecordingGfx::pop_clip() {
  if (!clips_.empty()) clips_.pop_back();
  add(DrawKind::pop_clip, {}, {});
}

void RecordingGfx::draw_text(std::string_view text, Rect r, Color c, TextFormat format,
                             Align align) {
  DrawCall& call = add(DrawKind::text, r, c);
  call.text = text;
  call.shown = trimmed(text, std::max(r.w, 1.0f), format);
  call.format = format;
  call.align = align;
}

float RecordingGfx::measure_text(std::string_view text, TextFormat format) {
  return static_cast<float>(char_count(trimmed(text, measure_width, format))) * char_width(format);
}

std::unique_ptr<TextLayout> RecordingGfx::text_layout(std::string_view text, float max_width,
                                                      TextFormat format, Align align) {
  const float box = std::max(max_width, 1.0f);
  const size_t n = char_count(trimmed(text, box, format));
  const float w = static_cast<float>(n) * char_width(format);
  const float offset = align == Align::leading  ? 0.0f
                       : align == Align::centre ? (box - w) / 2
                                                : box - w;
  return std::make_unique<RecordingLayout>(n, char_width(format), line_height(format), offset);
}

void RecordingGfx::draw_icon(std::string_view path, Point centre, float size, Color c) {
  NullSink sink;
  if (!parse_icon_path(path, sink)) return;
  DrawCall& call = add(DrawKind::icon, {centre.x - size / 2, centre.y - size / 2, size, size}, c);
  call.text = path;
}

}  // namespace lw
