#pragma once
// A Gfx that draws nothing and records every call, for headless UI tests.
// Text metrics are deterministic and shaped like real ones where layouts go
// wrong: a character (Unicode scalar value) is one cell, 7 px wide at 13 px,
// 8 px in the semibold formats (bold, title); East Asian wide characters
// (Hangul, kana, CJK ideographs, full-width forms) are two cells; blanks
// count like any other character, trailing ones too. Cells scale with the
// format's size and the scale; a line is 1.3 x the font size high.
#include <optional>
#include <string>
#include <vector>

#include "gfx/gfx.h"

namespace lw {

enum class DrawKind : uint8_t {
  clear,
  fill_rect,
  fill_rounded_rect,
  stroke_rect,
  stroke_rounded_rect,
  fill_circle,
  line,
  polyline,
  push_clip,
  pop_clip,
  text,
  icon,
  end_frame,
};

struct DrawCall {
  DrawKind kind = DrawKind::clear;
  // fill/stroke/clip: the rectangle; circle: its bounds; text: the text
  // rectangle; icon: the square it is drawn in; line/polyline: empty.
  Rect rect;
  Color colour;
  float radius = 0;           // rounded rectangles and circles
  float width = 0;            // strokes, lines and polylines
  std::vector<Point> points;  // line: from and to; polyline: every point as given
  std::string text;           // text as given; icon: the path text
  std::string shown;          // text after trimming: what would be visible
  TextFormat format = TextFormat::normal;
  Align align = Align::leading;
  std::optional<Rect> clip;  // the clip in force, if any
};

class RecordingGfx final : public Gfx {
 public:
  explicit RecordingGfx(float scale = 1.0f) : scale_(scale) {}

  // The calls since the last begin_frame (or since construction / clear).
  const std::vector<DrawCall>& calls() const { return calls_; }
  void clear() { calls_.clear(); }
  // Calls of one kind, in order.
  std::vector<DrawCall> calls_of(DrawKind kind) const;
  // The text calls whose shown text equals `text`.
  std::vector<DrawCall> texts(std::string_view shown) const;

  // The width of one cell, and of a whole text, in a format.
  float char_width(TextFormat format) const;
  float text_width(std::string_view text, TextFormat format) const;
  float line_height(TextFormat format) const;
  // The text as it would show in a box of max_width: whole, or as many
  // characters as fit followed by "…".
  std::string trimmed(std::string_view text, float max_width, TextFormat format) const;

  float scale() const override { return scale_; }
  void begin_frame(Color background) override;
  void end_frame() override;
  void fill_rect(Rect r, Color c) override;
  void fill_rounded_rect(Rect r, float radius, Color c) override;
  void stroke_rect(Rect r, float width, Color c) override;
  void stroke_rounded_rect(Rect r, float radius, float width, Color c) override;
  void fill_circle(Point centre, float radius, Color c) override;
  void line(Point from, Point to, float width, Color c) override;
  void polyline(std::span<const Point> points, float width, Color c) override;
  void push_clip(Rect r) override;
  void pop_clip() override;
  void draw_text(std::string_view text, Rect r, Color c, TextFormat format, Align align) override;
  float measure_text(std::string_view text, TextFormat format) override;
  std::unique_ptr<TextLayout> text_layout(std::string_view text, float max_width, TextFormat format,
                                          Align align) override;
  void draw_icon(std::string_view path, Point centre, float size, Color c) override;

 private:
  DrawCall& add(DrawKind kind, Rect r, Color c);

  float scale_;
  std::vector<DrawCall> calls_;
  std::vector<Rect> clips_;  // effective clip of each pushed level
};

}  // namespace lw
