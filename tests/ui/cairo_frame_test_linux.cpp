// A whole frame on the cairo back end, written as PNG files into the build
// folder (light and dark) so a person can look at them, with a few sampled
// pixels checked where the layout puts things.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#include "gfx/gfx_cairo.h"
#include "gfx/palette.h"
#include "lang/tr.h"
#include "ui/app_fixture.h"
#include "ui/colours.h"

// Fontconfig leaks a little while it parses its configuration files.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace lw::test {
namespace {

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

class CairoFrame : public AppFixture {
 protected:
  CairoFrame()
      : surface_(cairo_image_surface_create(CAIRO_FORMAT_RGB24, static_cast<int>(kWidth),
                                            static_cast<int>(kHeight))),
        cr_(cairo_create(surface_)),
        cairo_(create_cairo_gfx(1.0f)) {
    cairo_->set_target(cr_);
    build_scene();
  }
  ~CairoFrame() override {
    cairo_->set_target(nullptr);
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
  }

  void build_scene() {
    app.state().ports = {{"COM3", "Arduino Uno", {}, {}},
                         {"COM4", "USB-SERIAL CH340", {}, {}},
                         {"COM7", "FTDI FT232R USB UART", {}, {}},
                         {"COM9", "Keysight 34461A", {}, {}}};
    app.state().recent_arrivals = {{"COM9", clock.mono - 3'000}};
    Session& other = add_session("COM4", ConnectionKind::Disconnected);
    other.state.disconnected_at = kNoon - 30'000;
    Session& s = add_session("COM3");
    s.description = "Arduino Uno";
    s.bytes_received = 48'213;
    s.bytes_sent = 96;
    settings.set_dword("Latency", 1);
    settings.set_dword("AutoOpen", 1);
    const Millis start = kNoon - 58'000;
    for (int i = 0; i < 300; ++i) {
      const Millis at = start + i * 190;
      if (i % 40 == 7) {
        append(s, "MEAS:VOLT?", at, Direction::Sent);
        s.lab.replies.on_send(at);
        s.lab.replies.on_received_line(s.log.end_absolute(), at + 14, s.log.dropped(), settings);
        append(s, "+4.98712E+00", at + 14);
        continue;
      }
      const double t = 21.5 + 1.5 * std::sin(i / 25.0);
      const double h = 40 + 6 * std::cos(i / 40.0);
      char buf[96];
      std::snprintf(buf, sizeof buf, "T=%.2f H=%.1f P=1013.%d", t, h, i % 10);
      append(s, buf, at);
      const ExtractedValue values[] = {{"T", t}, {"H", h}, {"P", 1013.0 + (i % 10) / 10.0}};
      s.lab.series.append_values(at, values);
      if (i == 290) s.lab.alerts.alert_lines.push_back(s.log.end_absolute() - 1);
    }
    append(s, "ERROR sensor timeout", kNoon - 500);
    s.lab.alerts.alert_lines.push_back(s.log.end_absolute() - 1);
    append(s, "── Note: 11:59:59.800 heater on ──", kNoon - 200, Direction::Mark);
    s.lab.series.toggle_series_visible(2);  // P hidden: it would flatten the others
    s.lab.series.toggle_graph();
    s.log.set_selection(Selection{s.log.end_absolute() - 4, s.log.end_absolute() - 3});
    ui().send_field(s.id).set_utf8("*IDN?");
    ui().focus = Focus::send;
    s.log.settle_scroll(app.state().visible_rows);
  }

  void paint_png(const std::string& name) {
    paint_window(app, *cairo_, kWidth, kHeight);
    cairo_surface_flush(surface_);
    const std::string path = std::string(LINEWICK_UI_PNG_DIR) + "/" + name;
    ASSERT_EQ(cairo_surface_write_to_png(surface_, path.c_str()), CAIRO_STATUS_SUCCESS) << path;
  }

  Rgb pixel(float x, float y) const {
    const unsigned char* data = cairo_image_surface_get_data(surface_);
    const int stride = cairo_image_surface_get_stride(surface_);
    uint32_t v;
    std::memcpy(&v, data + static_cast<int>(y) * stride + static_cast<int>(x) * 4, 4);
    return {static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
            static_cast<int>(v & 0xFF)};
  }

  // Pixels of the area that differ from the colour.
  int inked(Rect area, Rgb background) const {
    int n = 0;
    for (float y = area.y; y < area.bottom(); ++y)
      for (float x = area.x; x < area.right(); ++x)
        if (pixel(x, y) != background) ++n;
    return n;
  }

  // Pixels of the area close to the colour.
  int near_colour(Rect area, Rgb c) const {
    int n = 0;
    for (float y = area.y; y < area.bottom(); ++y)
      for (float x = area.x; x < area.right(); ++x) {
        const Rgb p = pixel(x, y);
        if (std::abs(p.r - c.r) < 40 && std::abs(p.g - c.g) < 40 && std::abs(p.b - c.b) < 40) ++n;
      }
    return n;
  }

  void check_regions(const Palette& pal) {
    const UiFrame f = frame();
    EXPECT_EQ(pixel(f.layout.width / 2 + 100, 4), bytes(pal[Pal::top_bar]));
    EXPECT_EQ(pixel(f.layout.panel_width / 2, f.layout.auto_open.y - 6),
              bytes(pal[Pal::port_panel]));
    // The log rows hold text; the graph holds the series' colours.
    const Rect rows{f.log.x + 4, f.log.y + 2, f.log.w - 30, f.log.h - 4};
    EXPECT_GT(inked(rows, bytes(pal[Pal::log])), 2000);
    ASSERT_TRUE(f.graph);
    EXPECT_GT(near_colour(f.graph->plot, bytes(colours::series_colour(0))), 200);
    EXPECT_GT(near_colour(f.graph->plot, bytes(colours::series_colour(1))), 200);
    EXPECT_EQ(near_colour(f.graph->plot, bytes(colours::series_colour(2))), 0);  // hidden
  }

  cairo_surface_t* surface_;
  cairo_t* cr_;
  std::unique_ptr<CairoGfx> cairo_;
};

TEST_F(CairoFrame, LightFrame) {
  ui().dark = false;
  paint_png("ui_frame_light.png");
  check_regions(light_palette);
}

TEST_F(CairoFrame, DarkFrame) {
  ui().dark = true;
  paint_png("ui_frame_dark.png");
  check_regions(dark_palette);
}

TEST_F(CairoFrame, HoverReadoutNoticeAndTooltip) {
  ui().dark = false;
  const UiFrame f = frame();
  ASSERT_TRUE(f.graph);
  const Point mouse{f.graph->plot.x + f.graph->plot.w * 0.6f, f.graph->plot.y + 40};
  ui().mouse = mouse;
  ui().hover = {target::plot, 0};
  app.state().notice = ShownNotice{
      Notice{"Saved the log around the alert: COM3_2026-11-18_12-00-00_alert.txt",
             false,
             {{NoticeAction::Kind::OpenFile, {}, 0}, {NoticeAction::Kind::OpenFolder, {}, 0}}},
      0, 10'000};
  paint_png("ui_frame_hover.png");
  // The readout box is near-black over the plot, right of the mouse.
  EXPECT_GT(near_colour({mouse.x + 14, f.graph->plot.y + 8, 40, 30}, {17, 18, 20}), 300);

  ui().hover = {cmd::values_csv, 0};
  ui().tooltip_shown = true;
  app.state().sessions[1]->log.set_follow(false);
  app.state().sessions[1]->log.set_scroll(40.5);
  paint_png("ui_frame_tooltip.png");
  const Rect csv = frame().find(cmd::values_csv)->rect;
  EXPECT_GT(inked({csv.x, csv.bottom() + 8, 60, 20}, bytes(light_palette[Pal::background])), 300);
}

TEST_F(CairoFrame, ScaledByOneAndAHalf) {
  ui().dark = false;
  const int w = static_cast<int>(kWidth * 1.5f);
  const int h = static_cast<int>(kHeight * 1.5f);
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* cr = cairo_create(surface);
  std::unique_ptr<CairoGfx> gfx15 = create_cairo_gfx(1.5f);
  gfx15->set_target(cr);
  paint_window(app, *gfx15, static_cast<float>(w), static_cast<float>(h));
  cairo_surface_flush(surface);
  const std::string path = std::string(LINEWICK_UI_PNG_DIR) + "/ui_frame_scaled.png";
  EXPECT_EQ(cairo_surface_write_to_png(surface, path.c_str()), CAIRO_STATUS_SUCCESS);
  // The same rows fit: every size grew with the scale.
  EXPECT_EQ(app.state().visible_rows, 13u);
  gfx15->set_target(nullptr);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}

// With the real faces, at the smallest and the largest size, in English and
// Korean: the frames are written for a person to look at, and no two
// widgets of a bar overlap with the widths pango measures.
TEST_F(CairoFrame, SmallestAndLargestInEnglishAndKorean) {
  const auto overlap = [](const Rect& a, const Rect& b) {
    return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
  };
  for (const char* language : {"en", "ko"}) {
    switch_language(language);
    for (const auto& [w, h] : {std::pair{900, 560}, std::pair{1400, 900}}) {
      cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
      cairo_t* cr = cairo_create(surface);
      cairo_->set_target(cr);
      for (const bool dark : {false, true}) {
        ui().dark = dark;
        paint_window(app, *cairo_, static_cast<float>(w), static_cast<float>(h));
        cairo_surface_flush(surface);
        const std::string path = std::string(LINEWICK_UI_PNG_DIR) + "/ui_frame_" +
                                 std::to_string(w) + "x" + std::to_string(h) +
                                 (dark ? "_dark_" : "_light_") + language + ".png";
        EXPECT_EQ(cairo_surface_write_to_png(surface, path.c_str()), CAIRO_STATUS_SUCCESS);
      }
      const UiFrame f = build_frame(app, *cairo_, static_cast<float>(w), static_cast<float>(h));
      for (size_t i = 0; i < f.widgets.size(); ++i) {
        for (size_t j = i + 1; j < f.widgets.size(); ++j) {
          EXPECT_FALSE(overlap(f.widgets[i].rect, f.widgets[j].rect))
              << language << " at " << w << ": widgets " << f.widgets[i].id << " and "
              << f.widgets[j].id;
        }
      }
      cairo_->set_target(cr_);
      cairo_destroy(cr);
      cairo_surface_destroy(surface);
    }
  }
  switch_language("en");
}

TEST_F(CairoFrame, NoTabAndNoPorts) {
  ui().dark = false;
  app.state().sessions.clear();
  app.state().current.reset();
  app.state().ports.clear();
  paint_png("ui_frame_empty.png");
  EXPECT_EQ(pixel(20, kHeight - 60), bytes(light_palette[Pal::port_panel]));
}

}  // namespace
}  // namespace lw::test
