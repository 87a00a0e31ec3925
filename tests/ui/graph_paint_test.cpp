// The graph panel as painted: series over the window, dots, the axis, the
// empty and paused states and the hover readout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ui/app_fixture.h"
#include "ui/colours.h"

namespace lw::test {
namespace {

class GraphPaint : public AppFixture {
 protected:
  GraphPaint() : s(add_session("COM3")) { s.lab.series.toggle_graph(); }

  void add(std::string name, Millis at, double v) {
    const ExtractedValue value{std::move(name), v};
    s.lab.series.append_values(at, std::span(&value, 1));
  }

  Session& s;
};

TEST_F(GraphPaint, EmptyStateText) {
  paint();
  const auto hint =
      gfx.texts("Numbers found in lines are plotted here (e.g. T=21.5 H=40, or 1.2,3.4,5.6)");
  ASSERT_EQ(hint.size(), 1u);
  EXPECT_EQ(hint[0].rect.x, frame().graph->panel.x + 14);
  EXPECT_EQ(hint[0].format, TextFormat::small);
  EXPECT_TRUE(gfx.calls_of(DrawKind::polyline).empty());
  EXPECT_TRUE(shows("Last 1 min"));
  EXPECT_TRUE(shows("Pause"));
  EXPECT_TRUE(shows("Stats: since opening"));
}

TEST_F(GraphPaint, SeriesLinesStayInsideTheWindow) {
  // The window is the minute up to now (noon); the first two points are older.
  add("T", kNoon - 120'000, 500);
  add("T", kNoon - 61'000, 500);
  for (int i = 0; i < 50; ++i) add("T", kNoon - 50'000 + i * 1000, 20 + (i % 5));
  add("H", kNoon - 30'000, 40);  // one point: a dot
  paint();
  const UiFrame f = frame();
  const Rect plot = f.graph->plot;
  const std::vector<DrawCall> lines = gfx.calls_of(DrawKind::polyline);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_FLOAT_EQ(lines[0].width, 1.4f);
  EXPECT_EQ(lines[0].colour, colours::series_colour(0));
  for (const Point& p : lines[0].points) {
    EXPECT_GE(p.x, plot.x);
    EXPECT_LE(p.x, plot.right());
    EXPECT_GE(p.y, plot.y - 0.01f);
    EXPECT_LE(p.y, plot.bottom() + 0.01f);
  }
  // x = plot left + (time - window start) / span x width.
  EXPECT_FLOAT_EQ(lines[0].points.front().x, plot.x + 10.0f / 60 * plot.w);
  EXPECT_EQ(lines[0].clip, plot);
  bool dot = false;
  for (const DrawCall& c : gfx.calls_of(DrawKind::fill_circle)) {
    if (c.colour == colours::series_colour(1)) {
      EXPECT_FLOAT_EQ(c.radius, 2.5f);
      EXPECT_FLOAT_EQ(c.rect.x + c.radius, plot.x + 0.5f * plot.w);
      dot = true;
    }
  }
  EXPECT_TRUE(dot);
  // The axis counts only points in the window: 20..24 and 40, not 500.
  EXPECT_TRUE(shows("40"));
  EXPECT_TRUE(shows("20"));
  EXPECT_FALSE(shows("500"));
  // Three time labels: the window's left edge, middle and right edge.
  EXPECT_TRUE(shows("11:59:00.000"));
  EXPECT_TRUE(shows("11:59:30.000"));
  EXPECT_TRUE(shows("12:00:00.000"));
}

TEST_F(GraphPaint, GridLinesForEachTick) {
  add("T", kNoon - 2000, 0);
  add("T", kNoon - 1000, 100);
  paint();
  const Rect plot = frame().graph->plot;
  std::vector<float> grid;
  for (const DrawCall& c : gfx.calls_of(DrawKind::fill_rect)) {
    if (c.rect.x == plot.x && c.rect.w == plot.w && c.rect.h == 1) grid.push_back(c.rect.y);
  }
  // 0, 20, ..., 100: six lines from the bottom up.
  ASSERT_EQ(grid.size(), 6u);
  EXPECT_FLOAT_EQ(grid.front(), std::round(plot.bottom()));
  EXPECT_FLOAT_EQ(grid.back(), std::round(plot.y));
  for (const char* label : {"0", "20", "40", "60", "80", "100"}) EXPECT_TRUE(shows(label)) << label;
}

TEST_F(GraphPaint, HidingEverySeriesLeavesTheAxisAtZeroToOne) {
  add("T", kNoon - 1000, 50);
  s.lab.series.toggle_series_visible(0);
  paint();
  EXPECT_TRUE(shows("0.0"));
  EXPECT_TRUE(shows("1.0"));
  EXPECT_TRUE(gfx.calls_of(DrawKind::polyline).empty());
  // The hidden series' chip stays, its label muted.
  const UiFrame f = frame();
  ASSERT_EQ(f.graph->chips.size(), 1u);
  EXPECT_FALSE(f.graph->chips[0].visible);
}

TEST_F(GraphPaint, PausedFreezesTheWindowAndSaysSo) {
  add("T", kNoon - 5000, 1);
  s.lab.series.toggle_pause(kNoon - 30'000);
  paint();
  EXPECT_TRUE(shows("Paused"));
  EXPECT_TRUE(shows("Resume"));
  EXPECT_TRUE(shows("11:59:30.000"));                     // the right edge is the moment of pausing
  EXPECT_TRUE(gfx.calls_of(DrawKind::polyline).empty());  // the point is after it
}

TEST_F(GraphPaint, HoverReadoutAtTheNearestPoints) {
  for (int i = 0; i < 60; ++i) add("T", kNoon - 60'000 + i * 1000, i);
  add("H", kNoon - 45'000, 7.25);
  const Rect plot = frame().graph->plot;
  const Point mouse{plot.x + plot.w * 0.5f + 1, plot.y + 20};  // just after 11:59:30
  ui().mouse = mouse;
  ui().hover = {target::plot, 0};
  paint();
  // The vertical line at the mouse, the readout's time and a row per series.
  bool line = false;
  for (const DrawCall& c : gfx.calls_of(DrawKind::fill_rect))
    line |= c.rect.x == std::round(mouse.x) && c.rect.h == plot.h && c.rect.w == 1;
  EXPECT_TRUE(line);
  EXPECT_TRUE(shows("T  30"));
  EXPECT_TRUE(shows("H  7.25"));
  int dots = 0;
  for (const DrawCall& c : gfx.calls_of(DrawKind::fill_circle)) {
    const bool series =
        c.colour == colours::series_colour(0) || c.colour == colours::series_colour(1);
    dots += series && c.radius == 3.5f;
  }
  EXPECT_EQ(dots, 2);
  bool box = false;
  for (const DrawCall& c : gfx.calls_of(DrawKind::fill_rounded_rect)) {
    if (c.colour == colours::readout_box.with_opacity(0.9f)) {
      EXPECT_FLOAT_EQ(c.radius, 6);
      EXPECT_FLOAT_EQ(c.rect.h, 3 * 18 + 2 * 5);
      box = true;
    }
  }
  EXPECT_TRUE(box);
}

}  // namespace
}  // namespace lw::test
