#pragma once
// The drawing interface every painter talks to. It is stateless: each call
// names its rectangle, colour and text format; the only state is the clip
// stack. Opacity is the colour's alpha (see Color::with_opacity).
//
// Units: all coordinates are physical pixels of the target, origin top-left,
// y down. Layout sizes are DIPs; the painter multiplies them by scale()
// (window DPI / 96) and rounds where the layout says so, which is why the
// scaling is the painter's and not done again here. Only the text formats
// are made at size x scale by the Gfx itself.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

namespace lw {

struct Color {
  float r = 0;
  float g = 0;
  float b = 0;
  float a = 1;

  constexpr Color with_opacity(float opacity) const { return {r, g, b, a * opacity}; }
  friend constexpr bool operator==(const Color&, const Color&) = default;
};

// 0xRRGGBB as floats 0..1, alpha 1.
constexpr Color rgb(uint32_t hex) {
  return {static_cast<float>((hex >> 16) & 0xFF) / 255.0f,
          static_cast<float>((hex >> 8) & 0xFF) / 255.0f, static_cast<float>(hex & 0xFF) / 255.0f,
          1.0f};
}

struct Point {
  float x = 0;
  float y = 0;
  friend constexpr bool operator==(const Point&, const Point&) = default;
};

struct Rect {
  float x = 0;
  float y = 0;
  float w = 0;
  float h = 0;

  constexpr float right() const { return x + w; }
  constexpr float bottom() const { return y + h; }
  constexpr bool contains(Point p) const {
    return p.x >= x && p.x < x + w && p.y >= y && p.y < y + h;
  }
  friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

// The index is how painters pick a format; see text_formats.h for the faces.
enum class TextFormat : uint8_t { small = 0, normal = 1, bold = 2, title = 3, mono = 4 };

enum class Align : uint8_t { leading, centre, trailing };

// Maximum width measure_text lays text out in.
inline constexpr float measure_width = 10000.0f;
// A maximum width no single line reaches; for text that must never be trimmed.
inline constexpr float unbounded_width = 1.0e6f;

// One line of text laid out in a box of a maximum width: never wrapped, and
// ending in "…" when it does not fit. Caret positions are indices in Unicode
// scalar values (0 to the text's length), the unit text fields count in.
class TextLayout {
 public:
  virtual ~TextLayout() = default;
  // Width of the laid-out text (at most the maximum width) and line height.
  virtual float width() const = 0;
  virtual float height() const = 0;
  // x of the caret before character `index`, from the box's left edge
  // (alignment included); an index past the end is the end.
  virtual float caret_x(size_t index) const = 0;
  // The caret position nearest to x (from the box's left edge).
  virtual size_t index_at(float x) const = 0;
};

// Only the window's thread uses a Gfx. The real back ends draw only between
// begin_frame and end_frame and ignore drawing calls outside a frame;
// measuring and layout work at any time.
class Gfx {
 public:
  virtual ~Gfx() = default;

  // DPI / 96 that the text formats were made for.
  virtual float scale() const = 0;

  // A frame: everything drawn between these goes to the target together.
  // begin_frame clears the whole target to the background colour;
  // end_frame drops clips still pushed.
  virtual void begin_frame(Color background) = 0;
  virtual void end_frame() = 0;

  virtual void fill_rect(Rect r, Color c) = 0;
  virtual void fill_rounded_rect(Rect r, float radius, Color c) = 0;
  // Strokes are centred on the rectangle's edge.
  virtual void stroke_rect(Rect r, float width, Color c) = 0;
  virtual void stroke_rounded_rect(Rect r, float radius, float width, Color c) = 0;
  virtual void fill_circle(Point centre, float radius, Color c) = 0;
  virtual void line(Point from, Point to, float width, Color c) = 0;
  // Joined segments with round joins, for graph series. Dense input (many
  // points per pixel column) is thinned to what can be seen first, so a
  // series of hundreds of thousands of points costs about its width in pixels.
  virtual void polyline(std::span<const Point> points, float width, Color c) = 0;

  // Axis-aligned clip, intersected with the one in force; pops must match.
  virtual void push_clip(Rect r) = 0;
  virtual void pop_clip() = 0;

  // One line in the rectangle: starts at r.x (or centred / right-aligned in
  // r.w), centred vertically (top = r.y + round((r.h - line height) / 2)),
  // trimmed with "…" at r.w, never wrapped.
  virtual void draw_text(std::string_view text, Rect r, Color c, TextFormat format,
                         Align align) = 0;
  // Width of the text laid out with a maximum width of measure_width. Bars
  // size their buttons, badges and tabs with the normal format.
  virtual float measure_text(std::string_view text, TextFormat format) = 0;
  // The layout behind draw_text, for line metrics and caret hit testing.
  virtual std::unique_ptr<TextLayout> text_layout(std::string_view text, float max_width,
                                                  TextFormat format, Align align) = 0;

  // An icon in the icon path language (icon_path.h), its 20 x 20 box scaled
  // to a square of `size` pixels centred on the point, stroked 1.6 box units
  // wide with round caps and joins. An icon that does not parse is not drawn.
  virtual void draw_icon(std::string_view path, Point centre, float size, Color c) = 0;
};

}  // namespace lw
