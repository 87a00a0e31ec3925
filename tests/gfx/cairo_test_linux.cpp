#include <cairo.h>
#include <gtest/gtest.h>
#include <pango/pango.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "gfx/gfx_cairo.h"
#include "gfx/icons.h"
#include "gfx/palette.h"
#include "gfx/pango_text_linux.h"

// Fontconfig leaks a little while it parses its configuration files; that
// is not ours to fix. Read by the leak checker of sanitizer builds only.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace lw {
namespace {

const Color white{1, 1, 1, 1};
const Color black{0, 0, 0, 1};
const Color red = rgb(0xDC2626);

struct Rgb {
  int r, g, b;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

std::ostream& operator<<(std::ostream& o, const Rgb& c) {
  return o << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

Rgb bytes(Color c) {
  const auto b = [](float v) { return static_cast<int>(std::lround(v * 255.0f)); };
  return {b(c.r), b(c.g), b(c.b)};
}

// A Gfx drawing on an image surface, with pixel access.
class CairoImage : public testing::Test {
 protected:
  static constexpr int width = 400;
  static constexpr int height = 200;

  CairoImage()
      : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height)),
        cr_(cairo_create(surface_)),
        gfx_(create_cairo_gfx(1.0f)) {
    gfx_->set_target(cr_);
  }
  ~CairoImage() override {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }

  Rgb pixel(int x, int y) const {
    cairo_surface_flush(surface_);
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    uint32_t v;
    std::memcpy(&v, data + y * stride + x * 4, 4);
    return {static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
            static_cast<int>(v & 0xFF)};
  }

  // Pixels of the area that are not the background colour.
  int inked(Rect area, Rgb background) const {
    int n = 0;
    for (int y = static_cast<int>(area.y); y < static_cast<int>(area.bottom()); ++y)
      for (int x = static_cast<int>(area.x); x < static_cast<int>(area.right()); ++x)
        if (pixel(x, y) != background) ++n;
    return n;
  }

  // The rows [top, bottom) that hold ink in the area, or {-1, -1}.
  std::pair<int, int> ink_rows(Rect area, Rgb background) const {
    int top = -1, bottom = -1;
    for (int y = static_cast<int>(area.y); y < static_cast<int>(area.bottom()); ++y)
      for (int x = static_cast<int>(area.x); x < static_cast<int>(area.right()); ++x)
        if (pixel(x, y) != background) {
          if (top < 0) top = y;
          bottom = y + 1;
          break;
        }
    return {top, bottom};
  }

  cairo_surface_t* surface_;
  cairo_t* cr_;
  std::unique_ptr<CairoGfx> gfx_;
};

TEST_F(CairoImage, FilledRectangleHasItsColour) {
  const Color bg = light_palette[Pal::background];
  gfx_->begin_frame(bg);
  gfx_->fill_rect({10, 10, 50, 30}, red);
  gfx_->end_frame();
  EXPECT_EQ(pixel(10, 10), bytes(red));
  EXPECT_EQ(pixel(59, 39), bytes(red));
  EXPECT_EQ(pixel(60, 20), bytes(bg));
  EXPECT_EQ(pixel(300, 150), bytes(bg));
}

TEST_F(CairoImage, OpacityBlendsOverWhatIsThere) {
  gfx_->begin_frame(white);
  gfx_->fill_rect({0, 0, 100, 100}, black.with_opacity(0.5f));
  gfx_->end_frame();
  const Rgb p = pixel(50, 50);
  EXPECT_NEAR(p.r, 128, 2);
  EXPECT_EQ(p.r, p.g);
}

TEST_F(CairoImage, ClipsNestAndPop) {
  gfx_->begin_frame(white);
  gfx_->push_clip({0, 0, 100, 200});
  gfx_->push_clip({50, 0, 100, 100});
  gfx_->fill_rect({0, 0, 400, 200}, red);
  gfx_->pop_clip();
  gfx_->fill_rect({0, 150, 400, 50}, black);
  gfx_->pop_clip();
  gfx_->fill_rect({390, 0, 10, 10}, black);
  gfx_->end_frame();
  EXPECT_EQ(pixel(75, 50), bytes(red));    // inside both clips
  EXPECT_EQ(pixel(25, 50), bytes(white));  // outside the inner one
  EXPECT_EQ(pixel(75, 120), bytes(white));
  EXPECT_EQ(pixel(25, 175), bytes(black));   // only the outer clip
  EXPECT_EQ(pixel(150, 175), bytes(white));  // outside it
  EXPECT_EQ(pixel(395, 5), bytes(black));    // no clip left
}

TEST_F(CairoImage, ClipsLeftPushedEndWithTheFrame) {
  gfx_->begin_frame(white);
  gfx_->push_clip({0, 0, 10, 10});
  gfx_->end_frame();
  gfx_->begin_frame(white);
  gfx_->fill_rect({0, 0, 400, 200}, red);
  gfx_->end_frame();
  EXPECT_EQ(pixel(200, 100), bytes(red));
}

TEST_F(CairoImage, ShapesCoverTheirArea) {
  gfx_->begin_frame(white);
  gfx_->fill_rounded_rect({10, 10, 80, 40}, 8, red);
  gfx_->fill_circle({150, 50}, 20, black);
  gfx_->stroke_rect({200, 10, 50, 50}, 2, black);
  gfx_->line({300, 10}, {300, 90}, 3, red);
  gfx_->end_frame();
  EXPECT_EQ(pixel(50, 30), bytes(red));
  EXPECT_EQ(pixel(11, 11), bytes(white));  // the corner is cut
  EXPECT_EQ(pixel(150, 50), bytes(black));
  EXPECT_EQ(pixel(150, 75), bytes(white));
  EXPECT_EQ(pixel(200, 30), bytes(black));  // on the edge
  EXPECT_EQ(pixel(225, 35), bytes(white));  // strokes do not fill
  EXPECT_EQ(pixel(300, 50), bytes(red));
}

TEST_F(CairoImage, TextRendersInsideItsRectangleCentredVertically) {
  gfx_->begin_frame(white);
  const Rect r{20, 50, 300, 40};
  gfx_->draw_text("Linewick 0123", r, black, TextFormat::normal, Align::leading);
  gfx_->end_frame();
  EXPECT_GT(inked(r, bytes(white)), 50);
  EXPECT_EQ(inked({0, 0, 400, 50}, bytes(white)), 0);
  EXPECT_EQ(inked({0, 90, 400, 110}, bytes(white)), 0);
  const auto [top, bottom] = ink_rows(r, bytes(white));
  EXPECT_NEAR((top + bottom) / 2.0, r.y + r.h / 2, 4);
}

TEST_F(CairoImage, KoreanJapaneseAndChineseRender) {
  const char* cjk = "연결됨 接続 已连接";
  gfx_->begin_frame(white);
  gfx_->draw_text(cjk, {10, 10, 380, 40}, black, TextFormat::normal, Align::leading);
  gfx_->end_frame();
  EXPECT_GT(inked({10, 10, 380, 40}, bytes(white)), 100);
  // Real glyphs from a fallback font, not boxes for missing ones.
  PangoText text(1.0f, {});
  for (TextFormat f : {TextFormat::normal, TextFormat::bold, TextFormat::mono})
    EXPECT_EQ(pango_layout_get_unknown_glyphs_count(text.layout(cjk, 1000, f, Align::leading)), 0);
}

TEST_F(CairoImage, NarrowTextIsEllipsizedOnOneLine) {
  const char* label = "Record the numbers in each line to CSV";
  const float full = gfx_->measure_text(label, TextFormat::normal);
  const auto narrow = gfx_->text_layout(label, 80, TextFormat::normal, Align::leading);
  const auto wide = gfx_->text_layout(label, 1000, TextFormat::normal, Align::leading);
  EXPECT_GT(full, 150);
  EXPECT_EQ(wide->width(), full);
  EXPECT_LE(narrow->width(), 80);
  EXPECT_GT(narrow->width(), 40);
  EXPECT_EQ(narrow->height(), wide->height());  // one line: never wrapped
  PangoText text(1.0f, {});
  PangoLayout* l = text.layout(label, 80, TextFormat::normal, Align::leading);
  EXPECT_TRUE(pango_layout_is_ellipsized(l));
  EXPECT_EQ(pango_layout_get_line_count(l), 1);
  // A line break in the text does not make a second line either.
  EXPECT_EQ(pango_layout_get_line_count(
                text.layout("first\nsecond", 1000, TextFormat::normal, Align::leading)),
            1);

  gfx_->begin_frame(white);
  gfx_->draw_text(label, {10, 10, 80, 30}, black, TextFormat::normal, Align::leading);
  gfx_->end_frame();
  EXPECT_EQ(inked({91, 0, 309, 200}, bytes(white)), 0);
}

TEST_F(CairoImage, CaretHitTesting) {
  // "a", "한", "b": a wide character in the middle.
  const auto l = gfx_->text_layout("a한b", 1000, TextFormat::mono, Align::leading);
  const float x0 = l->caret_x(0), x1 = l->caret_x(1), x2 = l->caret_x(2), x3 = l->caret_x(3);
  EXPECT_EQ(x0, 0);
  EXPECT_LT(x0, x1);
  EXPECT_LT(x1, x2);
  EXPECT_LT(x2, x3);
  EXPECT_NEAR(x3, l->width(), 0.5);
  EXPECT_EQ(l->caret_x(9), x3);
  EXPECT_EQ(l->index_at(-10), 0u);
  EXPECT_EQ(l->index_at(x1 + 0.2f * (x2 - x1)), 1u);  // near the leading edge of "한"
  EXPECT_EQ(l->index_at(x1 + 0.8f * (x2 - x1)), 2u);  // near its trailing edge
  EXPECT_EQ(l->index_at(x3 + 50), 3u);

  const auto c = gfx_->text_layout("ab", 200, TextFormat::normal, Align::centre);
  EXPECT_NEAR(c->caret_x(0), (200 - c->width()) / 2, 0.5);
  EXPECT_EQ(c->index_at(0), 0u);
}

TEST_F(CairoImage, FormatsHaveTheirFaces) {
  const auto w = [&](const char* s, TextFormat f) { return gfx_->measure_text(s, f); };
  EXPECT_NEAR(w("iiiiiiii", TextFormat::mono), w("WWWWWWWW", TextFormat::mono), 0.01);
  EXPECT_LT(w("iiiiiiii", TextFormat::normal), w("WWWWWWWW", TextFormat::normal));
  EXPECT_LT(w("Linewick", TextFormat::small), w("Linewick", TextFormat::normal));
  EXPECT_LT(w("Linewick", TextFormat::normal), w("Linewick", TextFormat::bold));
  EXPECT_LT(w("Linewick", TextFormat::bold), w("Linewick", TextFormat::title));
  const float normal = w("Linewick", TextFormat::normal);
  gfx_->set_scale(1.5f);
  EXPECT_EQ(gfx_->scale(), 1.5f);
  EXPECT_NEAR(w("Linewick", TextFormat::normal), 1.5f * normal, 0.1f * normal);
}

TEST_F(CairoImage, IconsAreStrokedInTheirSquare) {
  gfx_->begin_frame(white);
  // Box unit = 2 px: the cross runs from (30, 30) to (70, 70) and back.
  gfx_->draw_icon(icons::cross, {50, 50}, 40, black);
  // Box unit = 5 px: a ring of radius 25 around (150, 50).
  gfx_->draw_icon("C 10 10 5", {150, 50}, 100, black);
  // Box unit = 10 px: a dot of diameter 16 px at (235, 50).
  gfx_->draw_icon("D 3.5 5", {300, 100}, 200, black);
  gfx_->end_frame();
  EXPECT_EQ(pixel(50, 50), bytes(black));
  EXPECT_EQ(pixel(40, 40), bytes(black));
  EXPECT_EQ(pixel(60, 40), bytes(black));
  EXPECT_EQ(pixel(50, 40), bytes(white));
  for (auto [x, y] : {std::pair{175, 50}, {125, 50}, {150, 25}, {150, 75}})
    EXPECT_EQ(pixel(x, y), bytes(black)) << x << "," << y;
  EXPECT_EQ(pixel(150, 50), bytes(white));
  EXPECT_EQ(pixel(235, 50), bytes(black));
  EXPECT_EQ(pixel(235, 56), bytes(black));
  EXPECT_EQ(pixel(235, 60), bytes(white));
  EXPECT_EQ(pixel(245, 50), bytes(white));
}

TEST_F(CairoImage, IconThatDoesNotParseDrawsNothing) {
  gfx_->begin_frame(white);
  gfx_->draw_icon("L 5 5 L 15 15", {50, 50}, 40, black);
  gfx_->draw_icon("M 1 1 Z L 19 19", {50, 50}, 40, black);
  gfx_->end_frame();
  EXPECT_EQ(inked({0, 0, 400, 200}, bytes(white)), 0);
}

TEST_F(CairoImage, DensePolylineLooksLikeTheFullOne) {
  std::vector<Point> pts;
  for (int i = 0; i < 40000; ++i) {
    const float t = static_cast<float>(i) / 40000.0f;
    // A slow wave with a fast one on top: several swings within each pixel column.
    pts.push_back({10 + t * 380, 100 + 60 * std::sin(t * 20) + 15 * std::sin(t * 4000)});
  }
  // Clearly inked pixels of the surface.
  const auto mask = [&] {
    std::vector<bool> m;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) m.push_back(pixel(x, y).r < 160);
    return m;
  };
  gfx_->begin_frame(white);
  gfx_->polyline(pts, 1.4f, black);
  gfx_->end_frame();
  const std::vector<bool> thinned = mask();

  // The same series stroked point by point, as cairo draws it.
  cairo_set_source_rgb(cr_, 1, 1, 1);
  cairo_paint(cr_);
  cairo_move_to(cr_, pts[0].x, pts[0].y);
  for (const Point& p : pts) cairo_line_to(cr_, p.x, p.y);
  cairo_set_line_width(cr_, 1.4);
  cairo_set_line_join(cr_, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_cap(cr_, CAIRO_LINE_CAP_ROUND);
  cairo_set_source_rgb(cr_, 0, 0, 0);
  cairo_stroke(cr_);
  const std::vector<bool> full = mask();

  // Ink in one image with no ink within a pixel of it in the other.
  const auto stray = [&](const std::vector<bool>& a, const std::vector<bool>& b) {
    int n = 0;
    for (int y = 1; y + 1 < height; ++y)
      for (int x = 1; x + 1 < width; ++x) {
        if (!a[static_cast<size_t>(y * width + x)]) continue;
        bool near = false;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            near |= b[static_cast<size_t>((y + dy) * width + x + dx)];
        if (!near) ++n;
      }
    return n;
  };
  const auto drawn = std::count(full.begin(), full.end(), true);
  EXPECT_GT(drawn, 2000);
  EXPECT_LT(stray(full, thinned), drawn / 200);
  EXPECT_LT(stray(thinned, full), drawn / 200);
}

TEST(CairoGfx, MeasuresWithoutATarget) {
  auto gfx = create_cairo_gfx(1.0f);
  gfx->begin_frame(white);  // nothing to draw on: ignored
  gfx->fill_rect({0, 0, 10, 10}, red);
  gfx->end_frame();
  EXPECT_GT(gfx->measure_text("Linewick", TextFormat::normal), 20);
  EXPECT_EQ(gfx->measure_text("", TextFormat::normal), 0);
  // Trailing blanks take room: a sent line's text starts after "→ ".
  const float arrow = gfx->measure_text("→", TextFormat::mono);
  EXPECT_GT(gfx->measure_text("→ ", TextFormat::mono), arrow + 2);
  EXPECT_NEAR(gfx->measure_text("ab  ", TextFormat::normal),
              gfx->text_layout("ab  ", 1000, TextFormat::normal, Align::leading)->caret_x(4), 0.5f);
}

}  // namespace
}  // namespace lw
