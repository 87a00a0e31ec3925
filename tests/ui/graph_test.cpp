#include <gtest/gtest.h>

#include <limits>

#include "gfx/gfx_recording.h"
#include "ui/graph_axis.h"
#include "ui/graph_layout.h"

namespace lw {
namespace {

void add(TabSeries& s, std::string name, Millis at, double v) {
  const ExtractedValue value{std::move(name), v};
  s.append_values(at, std::span(&value, 1));
}

TEST(ValueAxis, EqualValuesAreWidenedByAFifthOfTheirTenth) {
  const ValueAxis a = value_axis(ValueRange{20, 20});
  EXPECT_DOUBLE_EQ(a.step, 0.5);
  EXPECT_DOUBLE_EQ(a.bottom, 19);
  EXPECT_DOUBLE_EQ(a.top, 21);
  EXPECT_EQ(a.decimals, 1);
  ASSERT_EQ(a.ticks.size(), 5u);
  EXPECT_EQ(tick_label(a.ticks[0], a.decimals), "19.0");
  EXPECT_EQ(tick_label(a.ticks[4], a.decimals), "21.0");
}

TEST(ValueAxis, StepRule) {
  struct Case {
    double min, max;
    double step, bottom, top;
    int decimals;
  };
  const Case cases[] = {
      {0, 100, 20, 0, 100, 0},         // raw 20: 2 x 10
      {0, 1, 0.2, 0, 1, 1},            // the empty axis
      {0, 0, 0.5, -1, 1, 1},           // zero widened by 1
      {3, 7, 1, 3, 7, 0},              // raw 0.8 -> 1 x 1
      {0, 1.1, 0.25, 0, 1.25, 2},      // raw 0.22 -> 2.5 x 0.1
      {-3.2, 12.9, 5, -5, 15, 0},      // raw 3.22 -> 5 x 1
      {1000, 1010, 2, 1000, 1010, 0},  // raw 2
      {0.001, 0.0042, 0.001, 0.001, 0.005, 3},
  };
  for (const Case& c : cases) {
    const ValueAxis a = value_axis(ValueRange{c.min, c.max});
    EXPECT_NEAR(a.step, c.step, 1e-12) << c.min << ".." << c.max;
    EXPECT_NEAR(a.bottom, c.bottom, 1e-12) << c.min << ".." << c.max;
    EXPECT_NEAR(a.top, c.top, 1e-12) << c.min << ".." << c.max;
    EXPECT_EQ(a.decimals, c.decimals) << c.min << ".." << c.max;
    EXPECT_NEAR(a.ticks.back(), a.top, 1e-9);
  }
}

TEST(ValueAxis, NoRangeOrNonFiniteIsZeroToOne) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const std::optional<ValueRange>& r :
       {std::optional<ValueRange>{}, std::optional(ValueRange{0, inf}),
        std::optional(ValueRange{nan, 4})}) {
    const ValueAxis a = value_axis(r);
    EXPECT_DOUBLE_EQ(a.bottom, 0);
    EXPECT_DOUBLE_EQ(a.top, 1);
    EXPECT_EQ(a.ticks.size(), 6u);
  }
}

TEST(ValueAxis, LabelsUseTheStepsDecimalsAndNeverMinusZero) {
  EXPECT_EQ(label_decimals(20), 0);
  EXPECT_EQ(label_decimals(0.5), 1);
  EXPECT_EQ(label_decimals(0.25), 2);
  EXPECT_EQ(label_decimals(0.0005), 4);
  EXPECT_EQ(label_decimals(0.1 + 0.2), 1);  // 0.30000000000000004
  EXPECT_EQ(tick_label(-1e-17, 1), "0.0");
  EXPECT_EQ(tick_label(-0.5, 1), "-0.5");
  EXPECT_EQ(tick_label(40, 0), "40");
}

TEST(WindowRange, OnlyVisibleSeriesAndPointsInTheWindow) {
  TabSeries s;
  add(s, "T", 1000, 5);
  add(s, "T", 2000, 7);
  add(s, "T", 9000, 100);  // after the window
  add(s, "H", 1500, -3);
  const TimeWindow w{500, 5000};
  auto r = window_range(s, w);
  ASSERT_TRUE(r);
  EXPECT_DOUBLE_EQ(r->min, -3);
  EXPECT_DOUBLE_EQ(r->max, 7);
  s.toggle_series_visible(1);
  r = window_range(s, w);
  EXPECT_DOUBLE_EQ(r->min, 5);
  // Every series hidden: no range, so the axis is 0 to 1.
  s.toggle_series_visible(0);
  EXPECT_FALSE(window_range(s, w));
  EXPECT_DOUBLE_EQ(value_axis(window_range(s, w)).top, 1);
}

TEST(GraphControls, SpanPauseStatsFromTheRight) {
  RecordingGfx gfx;
  TabSeries s;
  const Rect panel{292, 180, 876, 250};
  struct Case {
    Millis span;
    const char* label;
  };
  for (const Case& c : {Case{59'999, "Last 59 s"}, Case{60'000, "Last 1 min"},
                        Case{90'000, "Last 1 min"}, Case{5'400'000, "Last 1 h"}}) {
    s.set_span(c.span);
    const std::vector<Widget> controls = graph_controls(panel, s, gfx);
    ASSERT_EQ(controls.size(), 3u);
    EXPECT_EQ(controls[0].id, cmd::graph_span);
    EXPECT_EQ(controls[0].label, c.label);
    EXPECT_EQ(controls[0].style, WidgetStyle::dropdown);
  }
  std::vector<Widget> controls = graph_controls(panel, s, gfx);
  EXPECT_EQ(controls[1].id, cmd::graph_pause);
  EXPECT_EQ(controls[1].label, "Pause");
  EXPECT_FALSE(controls[1].active);
  EXPECT_EQ(controls[2].id, cmd::graph_stats);
  EXPECT_EQ(controls[2].label, "Stats: since opening");
  // Placed from the panel's right edge minus 10, 6 apart, 28 high.
  EXPECT_EQ(controls[2].rect.right(), panel.right() - 10);
  EXPECT_EQ(controls[1].rect.right(), controls[2].rect.x - 6);
  EXPECT_EQ(controls[0].rect.h, 28);

  s.toggle_pause(5000);
  s.set_stats_mode(StatsChoice::VisibleSpan);
  controls = graph_controls(panel, s, gfx);
  EXPECT_EQ(controls[1].label, "Resume");
  EXPECT_TRUE(controls[1].active);
  EXPECT_EQ(controls[2].label, "Stats: visible span");
}

TEST(GraphLayout, TheFirstLegendRowEndsBeforeTheControlsTheNextUseTheWidth) {
  RecordingGfx gfx;
  TabSeries s;
  for (const char* name : {"Temperature", "Humidity", "Pressure", "Voltage", "Current"}) {
    add(s, name, 1000, 12.5);
  }
  const Rect panel{0, 100, 700, 300};
  const GraphFrame g = graph_frame(panel, s, 2000, gfx);
  ASSERT_EQ(g.chips.size(), 5u);
  EXPECT_EQ(g.chips[0].rect.x, 10);
  EXPECT_EQ(g.chips[0].rect.y, 112);
  EXPECT_EQ(g.chips[0].rect.h, 24);
  const float limit = g.controls.front().rect.x;
  float lowest = 0;
  bool past_the_controls = false;
  for (const LegendChip& c : g.chips) {
    if (c.rect.y == 112) {
      EXPECT_LE(c.rect.right(), limit - 6) << c.label;
    }
    past_the_controls |= c.rect.right() > limit;
    EXPECT_LE(c.rect.right(), panel.right() - 10) << c.label;
    EXPECT_LE(c.rect.w, 230);
    lowest = std::max(lowest, c.rect.bottom());
  }
  EXPECT_TRUE(past_the_controls);
  EXPECT_EQ(g.plot.y, lowest + 8);
  EXPECT_EQ(g.plot.x, 58);
  EXPECT_EQ(g.plot.w, 700 - 72);
  EXPECT_EQ(g.plot.bottom(), panel.bottom() + 6 - 24);
}

TEST(GraphLayout, ChipsKeepNameAndValueAndDropWholeStatistics) {
  RecordingGfx gfx;
  TabSeries s;
  add(s, "Temperature", 1000, 21.175);
  add(s, "Temperature", 1500, 1021.4375);
  const std::vector<std::string> parts = legend_parts(s, 0, 2000);
  ASSERT_EQ(parts.size(), 6u);
  EXPECT_EQ(parts[0] + parts[1], "Temperature 1021.44");
  const GraphFrame g = graph_frame({0, 100, 700, 300}, s, 2000, gfx);
  ASSERT_EQ(g.chips.size(), 1u);
  const LegendChip& chip = g.chips[0];
  EXPECT_EQ(chip.label, legend_label(s, 0, 2000));
  EXPECT_LE(chip.rect.w, 230);
  EXPECT_TRUE(chip.text.starts_with("Temperature 1021.44  ↓21.175")) << chip.text;
  EXPECT_TRUE(chip.label.starts_with(chip.text));
  EXPECT_LT(chip.text.size(), chip.label.size());
  EXPECT_EQ(chip.label[chip.text.size()], ' ');  // cut before a whole part
}

TEST(GraphLayout, PlotTopFloorAndMinimumSize) {
  EXPECT_EQ(plot_rect({0, 100, 700, 300}, 136, 1), (Rect{58, 158, 628, 224}));
  EXPECT_EQ(plot_rect({0, 100, 50, 60}, 136, 1), (Rect{58, 158, 20, 20}));
}

TEST(GraphLayout, ChipLabelCarriesTheStatistics) {
  TabSeries s;
  add(s, "T", 1000, 20);
  add(s, "T", 2000, 22);
  EXPECT_EQ(legend_label(s, 0, 3000), "T 22  ↓20 ↑22 μ21 n=2");
}

}  // namespace
}  // namespace lw
