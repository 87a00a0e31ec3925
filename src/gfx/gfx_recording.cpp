#include "gfx/gfx_recording.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "base/utf8.h"
#include "gfx/icon_path.h"
#include "gfx/text_formats.h"

namespace lw {
namespace {

// East Asian wide and full-width characters: two cells.
bool is_wide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) ||
         (c >= 0x3041 && c <= 0x33FF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

float cells(char32_t c) { return is_wide(c) ? 2.0f : 1.0f; }

float cells(const std::u32string& s) {
  float n = 0;
  for (char32_t c : s) n += cells(c);
  return n;
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
  // edges: x of each caret position of the shown text, from 0.
  RecordingLayout(std::vector<float> edges, float height, float offset)
      : edges_(std::move(edges)), height_(height), offset_(offset) {}

  float width() const override { return edges_.back(); }
  float height() const override { return height_; }
  float caret_x(size_t index) const override {
    return offset_ + edges_[std::min(index, edges_.size() - 1)];
  }
  size_t index_at(float x) const override {
    const float at = x - offset_;
    for (size_t i = 0; i + 1 < edges_.size(); ++i) {
      if (at < (edges_[i] + edges_[i + 1]) / 2) return i;
    }
    return edges_.size() - 1;
  }

 private:
  std::vector<float> edges_;  // one more than the characters shown
  float height_;
  float offset_;
};

}  // namespace

float RecordingGfx::char_width(TextFormat format) const {
  const TextFormatSpec& face = format_spec(format);
  const float cell = face.weight >= 600 ? 8.0f : 7.0f;
  return cell * face.size / 13.0f * scale_;
}

float RecordingGfx::text_width(std::string_view text, TextFormat format) const {
  return cells(utf32_from_utf8(text)) * char_width(format);
}

float RecordingGfx::line_height(TextFormat format) const {
  return 1.3f * format_spec(format).size * scale_;
}

std::string RecordingGfx::trimmed(std::string_view text, float max_width, TextFormat format) const {
  const float cw = char_width(format);
  std::u32string u = utf32_from_utf8(text);
  if (cells(u) * cw <= max_width) return std::string(text);
  // As many characters as leave room for the ellipsis.
  const float room = max_width - cw;
  float used = 0;
  size_t n = 0;
  while (n < u.size() && used + cells(u[n]) * cw <= room) used += cells(u[n++]) * cw;
  u.resize(n);
  return utf8_from_utf32(u) + "…";
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
  return text_width(trimmed(text, measure_width, format), format);
}

std::unique_ptr<TextLayout> RecordingGfx::text_layout(std::string_view text, float max_width,
                                                      TextFormat format, Align align) {
  const float box = std::max(max_width, 1.0f);
  const std::u32string shown = utf32_from_utf8(trimmed(text, box, format));
  const float cw = char_width(format);
  std::vector<float> edges{0.0f};
  for (char32_t c : shown) edges.push_back(edges.back() + cells(c) * cw);
  const float w = edges.back();
  const float offset = align == Align::leading  ? 0.0f
                       : align == Align::centre ? (box - w) / 2
                                                : box - w;
  return std::make_unique<RecordingLayout>(std::move(edges), line_height(format), offset);
}

void RecordingGfx::draw_icon(std::string_view path, Point centre, float size, Color c) {
  NullSink sink;
  if (!parse_icon_path(path, sink)) return;
  DrawCall& call = add(DrawKind::icon, {centre.x - size / 2, centre.y - size / 2, size, size}, c);
  call.text = path;
}

}  // namespace lw
