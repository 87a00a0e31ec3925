// The graph panel as painted: series over the window, dots, the axis, the
// empty and paused states and the hover readout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ui/app_fixture.h"
#include "ui/colours.h"
#include "ui/hit_test.h"
#include "ui/input.h"

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

// Where a text call's glyphs are: its width and line height placed in its
// rectangle as draw_text places them.
Rect inked(const RecordingGfx& gfx, const DrawCall& c) {
  const float w = std::min(c.rect.w, gfx.text_width(c.shown, c.format));
  const float h = gfx.line_height(c.format);
  const float x = c.align == Align::leading  ? c.rect.x
                  : c.align == Align::centre ? c.rect.x + (c.rect.w - w) / 2
                                             : c.rect.right() - w;
  return {x, c.rect.y + std::round((c.rect.h - h) / 2), w, h};
}

bool intersect(const Rect& a, const Rect& b) {
  return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

TEST_F(GraphPaint, AtTheSmallestWindowLegendAndLabelsKeepClearOfEachOther) {
  struct Named {
    const char* name;
    double from;
    double step;
  };
  const Named series[] = {{"Temperature", 21.175, 0.125},
                          {"Humidity", 40.25, 0.5},
                          {"Pressure", 0, 10.5},
                          {"Voltage", 3.3, 0.001}};
  for (const Named& n : series) {
    for (int t = 0; t < 20; ++t) add(n.name, kNoon - 20'000 + t * 1000, n.from + t * n.step);
  }
  for (const auto& [w, h] : {std::pair{900.0f, 560.0f}, std::pair{1180.0f, 760.0f}}) {
    paint(w, h);
    const UiFrame f = frame(w, h);
    const GraphFrame& g = *f.graph;
    const std::string at =
        std::to_string(static_cast<int>(w)) + " x " + std::to_string(static_cast<int>(h));
    EXPECT_GE(g.plot.h, 80) << at;
    ASSERT_EQ(g.chips.size(), 4u) << at;
    for (const LegendChip& chip : g.chips) {
      // The chip's text: its name, newest value and whole statistics.
      const Series& sr = s.lab.series.series()[chip.series];
      const std::string full = legend_label(s.lab.series, chip.series, kNoon);
      const std::string least = sr.name + " " + format_value(sr.points.newest().value);
      std::string shown;
      for (const DrawCall& c : gfx.calls_of(DrawKind::text)) {
        if (c.format == TextFormat::small && intersect(c.rect, chip.rect)) shown = c.shown;
      }
      EXPECT_TRUE(shown.starts_with(least)) << at << ": " << shown;
      EXPECT_TRUE(full.starts_with(shown)) << at << ": " << shown;
      EXPECT_TRUE(shown.size() == full.size() || full[shown.size()] == ' ') << at << ": " << shown;
      for (const Widget& control : g.controls) {
        EXPECT_FALSE(intersect(chip.rect, control.rect)) << at << ": " << shown;
      }
      EXPECT_LE(chip.rect.right(), g.panel.right() - 10) << at << ": " << shown;
    }
    // The value labels left of the plot and the time labels under it.
    std::vector<Rect> labels;
    for (const DrawCall& c : gfx.calls_of(DrawKind::text)) {
      const bool in_panel = c.format == TextFormat::small && c.rect.x >= g.panel.x &&
                            c.rect.y >= g.panel.y && c.rect.bottom() <= g.panel.bottom() + 6;
      const bool value = in_panel && c.rect.right() <= g.plot.x;
      const bool time = in_panel && c.rect.y >= g.plot.bottom();
      if (value || time) labels.push_back(inked(gfx, c));
    }
    EXPECT_GE(labels.size(), 4u) << at;  // the axis has at least one, the time three
    for (size_t i = 0; i < labels.size(); ++i) {
      for (size_t j = i + 1; j < labels.size(); ++j) {
        EXPECT_FALSE(intersect(labels[i], labels[j])) << at << ": labels " << i << " and " << j;
      }
      EXPECT_GE(labels[i].y, g.chips.back().rect.bottom()) << at;
    }
  }
}

TEST_F(GraphPaint, ManySeriesKeepThePlotAndShowTheRestAsOneChip) {
  for (size_t k = 0; k < kMaxSeries; ++k) {
    add("value" + std::to_string(k), kNoon - 1000, static_cast<double>(k) * 1.5);
  }
  const UiFrame f = frame(900, 560);
  const GraphFrame& g = *f.graph;
  EXPECT_GE(g.plot.h, 80);
  ASSERT_GE(g.chips.size(), 2u);
  ASSERT_LT(g.chips.size(), kMaxSeries);
  const LegendChip& more = g.chips.back();
  EXPECT_EQ(more.series, kMoreChip);
  const size_t shown = g.chips.size() - 1;
  EXPECT_EQ(more.text, "+" + std::to_string(kMaxSeries - shown));
  EXPECT_TRUE(more.label.starts_with("value" + std::to_string(shown) + ", ")) << more.label;
  EXPECT_TRUE(more.label.ends_with("value" + std::to_string(kMaxSeries - 1))) << more.label;
  // Without statistics: name and value only.
  EXPECT_EQ(g.chips[1].text, "value1 1.5");
  // Its tooltip names the rest; a click on it changes nothing.
  const Point centre{more.rect.x + more.rect.w / 2, more.rect.y + more.rect.h / 2};
  EXPECT_EQ(tooltip_text(f, hit_test(f, ui(), gfx, centre)), more.label);
  on_left_down(View{app, gfx, 900, 560}, centre, {});
  for (const Series& series : s.lab.series.series()) EXPECT_TRUE(series.visible);
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
