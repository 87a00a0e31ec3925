#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "gfx/gfx_d2d.h"
#include "gfx/icons.h"
#include "gfx/palette.h"

namespace lw {
namespace {

const Color white{1, 1, 1, 1};
const Color black{0, 0, 0, 1};
const Color red = rgb(0xDC2626);

uint32_t rgb_of(Color c) {
  const auto b = [](float v) { return static_cast<uint32_t>(std::lround(v * 255.0f)); };
  return b(c.r) << 16 | b(c.g) << 8 | b(c.b);
}

// A hidden window off-screen and a Direct2D context for it. Without a
// display (Wine with no X server) neither can be made: the tests are then
// skipped, unless the run says a display is there.
class D2d : public testing::Test {
 protected:
  void SetUp() override { open(320, 200); }

  void open(int width, int height) {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = instance;
    wc.lpszClassName = L"Linewick.GfxTest";
    RegisterClassW(&wc);
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"gfx test", WS_POPUP, -4000,
                              -4000, width, height, nullptr, nullptr, instance, nullptr);
    if (window_ == nullptr) return unavailable("CreateWindowExW", static_cast<int>(GetLastError()));
    auto made = create_d2d_gfx(window_, 96);
    if (!made) return unavailable(made.error().text.c_str(), made.error().code);
    gfx_ = std::move(*made);
    gfx_->capture_frames(true);
  }

  void unavailable(const char* what, int code) {
    if (std::getenv("LINEWICK_NEED_DISPLAY") != nullptr) {
      FAIL() << what << " failed: 0x" << std::hex << code;
    } else {
      GTEST_SKIP() << "no display for Direct2D (" << what << ")";
    }
  }

  void TearDown() override { close(); }

  void close() {
    gfx_.reset();
    if (window_ != nullptr) DestroyWindow(window_);
    window_ = nullptr;
  }

  uint32_t pixel(uint32_t x, uint32_t y) const {
    const FrameImage& f = gfx_->last_capture();
    return f.pixels[size_t{y} * f.width + x] & 0xFFFFFF;
  }

  // Keeps the frame beside the test program for a person to look at.
  void save(const char* name) const {
    const FrameImage& f = gfx_->last_capture();
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = static_cast<LONG>(f.width);
    info.biHeight = -static_cast<LONG>(f.height);
    info.biPlanes = 1;
    info.biBitCount = 32;
    const DWORD bytes = static_cast<DWORD>(f.pixels.size() * 4);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bytes;
    if (FILE* out = std::fopen(name, "wb")) {
      std::fwrite(&file, sizeof file, 1, out);
      std::fwrite(&info, sizeof info, 1, out);
      std::fwrite(f.pixels.data(), 4, f.pixels.size(), out);
      std::fclose(out);
    }
  }

  int inked(uint32_t x0, uint32_t y0, uint32_t x1, uint32_t y1, uint32_t background) const {
    int n = 0;
    for (uint32_t y = y0; y < y1; ++y)
      for (uint32_t x = x0; x < x1; ++x) n += pixel(x, y) != background ? 1 : 0;
    return n;
  }

  HWND window_ = nullptr;
  std::unique_ptr<D2dGfx> gfx_;
};

TEST_F(D2d, DrawsAFrame) {
  const Palette& p = light_palette;
  std::vector<Point> series;
  for (int i = 0; i < 200000; ++i) {
    const float t = static_cast<float>(i) / 200000.0f;
    series.push_back({20 + t * 230, 150 + 20 * std::sin(t * 40)});
  }
  gfx_->begin_frame(p[Pal::background]);
  gfx_->fill_rect({10, 10, 50, 30}, red);
  gfx_->fill_rounded_rect({70, 10, 50, 30}, 8, p[Pal::accent]);
  gfx_->stroke_rounded_rect({130.5f, 10.5f, 50, 30}, 7, 1, p[Pal::separator]);
  gfx_->fill_circle({200, 25}, 10, black.with_opacity(0.5f));
  gfx_->line({220, 10}, {220, 40}, 2, black);
  gfx_->draw_icon(icons::cross, {260, 25}, 40, black);
  gfx_->draw_icon("L 5 5", {300, 25}, 20, black);       // not drawn
  gfx_->draw_icon("C 10 10 5", {280, 160}, 60, black);  // a ring of radius 15
  gfx_->push_clip({0, 60, 320, 40});
  gfx_->draw_text("Linewick 연결됨", {10, 60, 300, 40}, p[Pal::text], TextFormat::normal,
                  Align::leading);
  gfx_->fill_rect({0, 95, 320, 20}, red);  // half clipped
  gfx_->pop_clip();
  gfx_->polyline(series, 1.4f, rgb(0x2563EB));
  gfx_->end_frame();

  ASSERT_EQ(gfx_->last_frame(), FrameOutcome::presented);
  save("gfx_d2d_frame.bmp");
  const FrameImage& f = gfx_->last_capture();
  ASSERT_EQ(f.width, 320u);
  ASSERT_EQ(f.height, 200u);
  const uint32_t bg = rgb_of(p[Pal::background]);
  EXPECT_EQ(pixel(30, 20), rgb_of(red));
  EXPECT_EQ(pixel(95, 25), rgb_of(p[Pal::accent]));
  EXPECT_EQ(pixel(70, 10), bg);  // the rounded corner is cut
  EXPECT_EQ(pixel(5, 5), bg);
  EXPECT_EQ(pixel(260, 25), 0u);  // the cross's middle
  EXPECT_EQ(pixel(260, 10), bg);
  EXPECT_EQ(inked(290, 10, 310, 40, bg), 0);
  EXPECT_GT(inked(10, 60, 310, 95, bg), 50);  // text
  EXPECT_EQ(pixel(160, 97), rgb_of(red));
  EXPECT_EQ(pixel(160, 102), bg);                // past the clip
  EXPECT_GT(inked(20, 125, 250, 175, bg), 250);  // the series
  for (auto [x, y] : {std::pair{295u, 160u}, {265u, 160u}, {280u, 145u}, {280u, 175u}})
    EXPECT_EQ(pixel(x, y), 0u) << x << "," << y;
  EXPECT_EQ(pixel(280, 160), bg);
}

TEST_F(D2d, ZeroSizedWindowGetsOnePixel) {
  close();
  open(0, 0);
  ASSERT_NE(gfx_, nullptr);
  gfx_->begin_frame(white);
  gfx_->end_frame();
  EXPECT_EQ(gfx_->last_capture().width, 1u);
  EXPECT_EQ(gfx_->last_capture().height, 1u);

  ASSERT_TRUE(gfx_->resize(640, 100).ok());
  gfx_->begin_frame(white);
  gfx_->end_frame();
  EXPECT_EQ(gfx_->last_capture().width, 640u);
  ASSERT_TRUE(gfx_->resize(0, 0).ok());
  gfx_->begin_frame(red);
  gfx_->end_frame();
  EXPECT_EQ(gfx_->last_frame(), FrameOutcome::presented);
  EXPECT_EQ(gfx_->last_capture().width, 1u);
  EXPECT_EQ(gfx_->last_capture().height, 1u);
  EXPECT_EQ(pixel(0, 0), rgb_of(red));
}

TEST_F(D2d, TextIsMeasuredTrimmedAndHitTested) {
  const char* label = "Record the numbers in each line to CSV";
  const float full = gfx_->measure_text(label, TextFormat::normal);
  EXPECT_GT(full, 150);
  const auto narrow = gfx_->text_layout(label, 80, TextFormat::normal, Align::leading);
  const auto wide = gfx_->text_layout(label, 1000, TextFormat::normal, Align::leading);
  EXPECT_LE(narrow->width(), 80);
  EXPECT_NEAR(narrow->height(), wide->height(), 0.01);  // one line: never wrapped

  const auto l = gfx_->text_layout(
      "a\xED\x95\x9C\xF0\x9F\x98\x80"
      "b",
      1000, TextFormat::mono,
      Align::leading);  // a, 한, an emoji (two UTF-16 units), b
  float last = -1;
  for (size_t i = 0; i <= 4; ++i) {
    EXPECT_GT(l->caret_x(i), last) << i;
    last = l->caret_x(i);
  }
  EXPECT_EQ(l->caret_x(0), 0);
  EXPECT_EQ(l->index_at(-5), 0u);
  EXPECT_EQ(l->index_at((l->caret_x(2) * 0.8f + l->caret_x(3) * 0.2f)), 2u);
  EXPECT_EQ(l->index_at((l->caret_x(2) * 0.2f + l->caret_x(3) * 0.8f)), 3u);
  EXPECT_EQ(l->index_at(last + 40), 4u);

  // Trailing blanks take room: a sent line's text starts after "→ ".
  const float arrow = gfx_->measure_text("→", TextFormat::mono);
  EXPECT_GT(gfx_->measure_text("→ ", TextFormat::mono), arrow + 2);
  EXPECT_NEAR(gfx_->measure_text("ab  ", TextFormat::normal),
              gfx_->text_layout("ab  ", 1000, TextFormat::normal, Align::leading)->caret_x(4),
              0.5f);

  EXPECT_EQ(gfx_->scale(), 1.0f);
  ASSERT_TRUE(gfx_->set_dpi(144).ok());
  EXPECT_EQ(gfx_->scale(), 1.5f);
  EXPECT_NEAR(gfx_->measure_text(label, TextFormat::normal), 1.5f * full, 0.1f * full);
}

}  // namespace
}  // namespace lw
