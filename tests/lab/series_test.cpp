#include "lab/series.h"

#include <gtest/gtest.h>

#include <bit>
#include <deque>
#include <functional>
#include <limits>

namespace lw {
namespace {

ValueList values(std::initializer_list<std::pair<const char*, double>> list) {
  ValueList out;
  for (const auto& [name, v] : list) out.push_back({name, v});
  return out;
}

TEST(TabSeries, CreatesSeriesInOrderOfFirstAppearanceUpToSixteen) {
  TabSeries tab;
  tab.append_values(1, values({{"T", 1}, {"H", 2}}));
  tab.append_values(2, values({{"H", 3}, {"P", 4}, {"t", 5}}));
  ASSERT_EQ(tab.series().size(), 4u);
  EXPECT_EQ(tab.series()[0].name, "T");
  EXPECT_EQ(tab.series()[1].name, "H");
  EXPECT_EQ(tab.series()[2].name, "P");
  EXPECT_EQ(tab.series()[3].name, "t");  // names are case-sensitive
  EXPECT_EQ(tab.series()[1].points.size(), 2u);

  TabSeries full;
  ValueList seventeen;
  for (int i = 1; i <= 17; ++i) seventeen.push_back({std::to_string(i), double(i)});
  full.append_values(10, seventeen);
  EXPECT_EQ(full.series().size(), kMaxSeries);
  EXPECT_EQ(full.find("17"), nullptr);
  full.append_values(11, values({{"17", 1}, {"16", 2}}));
  EXPECT_EQ(full.series().size(), kMaxSeries);
  EXPECT_EQ(full.find("16")->points.size(), 2u);
}

TEST(TabSeries, TwoValuesOfOneNameInALineAreTwoPointsWithTheSameStamp) {
  TabSeries tab;
  tab.append_values(5, values({{"T", 1}, {"T", 2}}));
  const Series& s = tab.series()[0];
  ASSERT_EQ(s.points.size(), 2u);
  EXPECT_EQ(s.points[0].stamp, 5);
  EXPECT_EQ(s.points[1].stamp, 5);
  EXPECT_EQ(s.running.count, 2u);
  EXPECT_EQ(s.running.last, 2);
}

TEST(TabSeries, RingKeepsTheNewestPointsWhileCountGoesOn) {
  TabSeries tab;
  for (int i = 0; i < 200'001; ++i) tab.append_values(i, values({{"T", double(i)}}));
  const Series& s = tab.series()[0];
  EXPECT_EQ(s.points.size(), 200'000u);
  EXPECT_EQ(s.points[0].value, 1);  // the very first point is gone
  EXPECT_EQ(s.points.newest().value, 200'000);
  EXPECT_EQ(s.running.count, 200'001u);
  EXPECT_EQ(s.running.min, 0);
  EXPECT_EQ(s.running.max, 200'000);
  // Bisection still works across the ring's wrap.
  EXPECT_EQ(s.points.lower_bound(150'000), 149'999u);
  EXPECT_EQ(s.points.upper_bound(150'000), 150'000u);
}

uint64_t bits_of(double x) { return std::bit_cast<uint64_t>(x); }

TEST(PointRing, PacksDecimalsThatReadBackBitForBit) {
  struct Case {
    double value;
    bool packs;
  };
  const Case cases[] = {
      {0.0, true},
      {-0.0, true},  // the sign stays
      {21.56, true},
      {-3.3, true},
      {1023, true},
      {99'999'999, true},
      {134'217'727, true},  // the largest magnitude
      {1.34217727, true},
      {0.000001234, true},
      {1e-15, true},
      {-0.29, true},
      {134'217'728, false},  // one digit too many
      {0.1234567891, false},
      {1e-16, false},  // 16 decimals
      {1e300, false},
      {1.0 / 3.0, false},
      {std::numeric_limits<double>::infinity(), false},
      {std::numeric_limits<double>::quiet_NaN(), false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    // Whichever count of decimals is tried first.
    for (uint32_t first = 0; first < 16; ++first) {
      uint32_t code = 0;
      ASSERT_EQ(PointRing::pack_value(c.value, code, first), c.packs) << first;
      if (c.packs) {
        EXPECT_EQ(bits_of(PointRing::unpack_value(code)), bits_of(c.value)) << first;
      }
    }
  }
}

// Every point reads back exactly as pushed, in order, through growth, going
// round, the base moving and the change to wide points, against a plain
// list of the newest `capacity` points.
TEST(PointRing, ReadsBackExactlyWhateverThePointsAre) {
  constexpr Millis kDay = 86'400'000;
  struct Stream {
    const char* what;
    size_t capacity;
    std::function<SeriesPoint(int)> point;
    int count;
    bool wide_at_end;
  };
  const Millis t0 = 1'765'000'000'000;
  const Stream streams[] = {
      {"decimals going round", 100,
       [&](int i) {
         return SeriesPoint{t0 + i, (i - 300) / 100.0};
       },
       350, false},
      {"an odd value after going round", 100,
       [&](int i) {
         return SeriesPoint{t0 + i, i == 250 ? 1.0 / 7.0 : i / 2.0};
       },
       350, true},
      {"an odd value while growing", 1000,
       [&](int i) {
         return SeriesPoint{t0 + i, i == 70 ? 1e300 : double(i)};
       },
       150, true},
      {"the clock set back a day", 100,
       [&](int i) {
         return SeriesPoint{t0 + i * 1000 - (i >= 120 ? kDay : 0), 21.5};
       },
       300, false},
      {"points 30 days apart, two held", 2,
       [&](int i) {
         return SeriesPoint{t0 + i * 30 * kDay, -0.0};
       },
       10, false},
      {"points 30 days apart, three held", 3,
       [&](int i) {
         return SeriesPoint{t0 + i * 30 * kDay, 1.5};
       },
       10, true},
      {"nothing held", 0,
       [&](int i) {
         return SeriesPoint{t0 + i, 1};
       },
       10, false},
  };
  for (const Stream& st : streams) {
    SCOPED_TRACE(st.what);
    PointRing ring(st.capacity);
    std::deque<SeriesPoint> model;
    for (int i = 0; i < st.count; ++i) {
      const SeriesPoint p = st.point(i);
      ring.push(p);
      model.push_back(p);
      if (model.size() > st.capacity) model.pop_front();
      ASSERT_EQ(ring.size(), model.size());
      for (size_t k = 0; k < model.size(); ++k) {
        ASSERT_EQ(ring[k].stamp, model[k].stamp) << i << " " << k;
        ASSERT_EQ(ring.stamp_at(k), model[k].stamp);
        ASSERT_EQ(bits_of(ring[k].value), bits_of(model[k].value)) << i << " " << k;
      }
    }
    // The extremes of any range, across the wrap too, as a plain loop finds them.
    for (size_t from = 0; from < model.size(); from += 7) {
      for (size_t to = from + 1; to <= model.size(); to += 13) {
        double low = model[from].value;
        double high = low;
        for (size_t k = from + 1; k < to; ++k) {
          low = model[k].value < low ? model[k].value : low;
          high = model[k].value > high ? model[k].value : high;
        }
        const auto [got_low, got_high] = ring.value_extremes(from, to);
        ASSERT_EQ(bits_of(got_low), bits_of(low)) << from << " " << to;
        ASSERT_EQ(bits_of(got_high), bits_of(high)) << from << " " << to;
      }
    }
    EXPECT_EQ(ring.pushed(), static_cast<uint64_t>(st.count));
    EXPECT_EQ(ring.wide(), st.wide_at_end);
  }
}

TEST(TabSeries, RunningStatsAndTheirReset) {
  TabSeries tab;
  for (double v : {4.0, -2.0, 10.0}) tab.append_values(1, values({{"T", v}}));
  SeriesStats st = tab.stats(0, 100);
  EXPECT_EQ(st.count, 3u);
  EXPECT_EQ(st.min, -2);
  EXPECT_EQ(st.max, 10);
  EXPECT_EQ(st.mean, 4);
  EXPECT_EQ(st.current, 10);

  tab.set_stats_mode(StatsChoice::Reset);
  EXPECT_EQ(tab.series()[0].running.count, 0u);
  EXPECT_EQ(tab.series()[0].running.sum, 0);
  EXPECT_EQ(tab.series()[0].points.size(), 3u);  // the plot keeps its points
  tab.append_values(2, values({{"T", 5}}));
  st = tab.stats(0, 100);
  EXPECT_EQ(st.count, 1u);
  EXPECT_EQ(st.min, 5);
  EXPECT_EQ(st.max, 5);
  EXPECT_EQ(st.mean, 5);
}

TEST(TabSeries, VisibleSpanStatsCoverTheWindowWithBothEndsIncluded) {
  TabSeries tab;
  tab.set_span(10'000);
  tab.set_stats_mode(StatsChoice::VisibleSpan);
  EXPECT_TRUE(tab.stats_over_span());
  for (Millis t : {0, 5'000, 10'000, 15'000, 20'000}) {
    tab.append_values(t, values({{"T", double(t / 1000)}}));
  }
  const TimeWindow w = tab.window(20'000);
  EXPECT_EQ(w.start, 10'000);
  EXPECT_EQ(w.end, 20'000);
  SeriesStats st = tab.stats(0, 20'000);
  EXPECT_EQ(st.count, 3u);  // 10, 15, 20
  EXPECT_EQ(st.min, 10);
  EXPECT_EQ(st.max, 20);
  EXPECT_EQ(st.mean, 15);

  // Every point older than the window: nothing counted, current still shown.
  st = tab.stats(0, 100'000);
  EXPECT_EQ(st.count, 0u);
  EXPECT_EQ(st.current, 20);

  tab.set_stats_mode(StatsChoice::SinceOpening);
  EXPECT_EQ(tab.stats(0, 100'000).count, 5u);
  EXPECT_FALSE(tab.stats(3, 0).current);  // no such series
}

TEST(TabSeries, PauseFreezesTheWindowWhilePointsKeepArriving) {
  TabSeries tab;
  tab.toggle_pause(1'000'000);
  EXPECT_TRUE(tab.paused());
  for (Millis t = 1'000'000; t <= 1'600'000; t += 1'000) tab.append_values(t, values({{"T", 1}}));
  // Ten minutes on, the window is still the minute before the pause.
  const TimeWindow w = tab.window(1'600'000);
  EXPECT_EQ(w.start, 940'000);
  EXPECT_EQ(w.end, 1'000'000);
  EXPECT_EQ(tab.series()[0].points.size(), 601u);
  tab.toggle_pause(1'600'000);
  EXPECT_FALSE(tab.paused());
  EXPECT_EQ(tab.window(1'600'000).end, 1'600'000);
}

TEST(TabSeries, WheelZoomStepsAndClamps) {
  TabSeries tab;
  EXPECT_EQ(tab.span_millis(), 60'000);
  tab.zoom_span(120);
  EXPECT_EQ(tab.span_millis(), 40'000);
  tab.set_span(60'000);
  tab.zoom_span(-1);  // one message is one step, whatever its size
  EXPECT_EQ(tab.span_millis(), 90'000);
  tab.set_span(2'000);
  tab.zoom_span(240);
  EXPECT_EQ(tab.span_millis(), 2'000);
  tab.set_span(2'500);
  tab.zoom_span(1);
  EXPECT_EQ(tab.span_millis(), 2'000);
  tab.set_span(86'400'000);
  tab.zoom_span(-120);
  EXPECT_EQ(tab.span_millis(), 86'400'000);
  tab.set_span(10'001);
  tab.zoom_span(1);
  EXPECT_EQ(tab.span_millis(), 6'667);  // truncated to whole milliseconds
}

TEST(TabSeries, TogglesVisibilityAndGraph) {
  TabSeries tab;
  tab.append_values(1, values({{"T", 1}}));
  EXPECT_TRUE(tab.series()[0].visible);
  tab.toggle_series_visible(0);
  EXPECT_FALSE(tab.series()[0].visible);
  tab.toggle_series_visible(5);  // out of range: nothing
  EXPECT_FALSE(tab.graph_shown());
  tab.toggle_graph();
  EXPECT_TRUE(tab.graph_shown());
}

TEST(SpanLabel, WholeUnitsRoundedDown) {
  EXPECT_EQ(span_label(10'000), "Last 10 s");
  EXPECT_EQ(span_label(59'999), "Last 59 s");
  EXPECT_EQ(span_label(60'000), "Last 1 min");
  EXPECT_EQ(span_label(90'000), "Last 1 min");
  EXPECT_EQ(span_label(1'800'000), "Last 30 min");
  EXPECT_EQ(span_label(3'599'999), "Last 59 min");
  EXPECT_EQ(span_label(3'600'000), "Last 1 h");
  EXPECT_EQ(span_label(5'400'000), "Last 1 h");
  EXPECT_EQ(span_label(21'600'000), "Last 6 h");
  EXPECT_EQ(span_label(40'000), "Last 40 s");
}

struct FormatCase {
  double value;
  const char* text;
};

class FormatValue : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatValue, WritesTheDisplayForm) {
  EXPECT_EQ(format_value(GetParam().value), GetParam().text) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    Values, FormatValue,
    ::testing::Values(FormatCase{0.0, "0"}, FormatCase{-0.0, "0"}, FormatCase{21.5, "21.5"},
                      FormatCase{12345.678, "12345.7"}, FormatCase{1234567.8, "1234568"},
                      FormatCase{0.00123, "0.00123"}, FormatCase{3.14159265, "3.14159"},
                      FormatCase{12345678, "1.235e7"}, FormatCase{0.00001234, "1.234e-5"},
                      FormatCase{-12345678, "-1.235e7"}, FormatCase{10'000'000, "1.000e7"},
                      FormatCase{9'999'999.4, "9999999"}, FormatCase{0.0001, "0.0001"},
                      FormatCase{1e300, "1.000e300"}, FormatCase{100, "100"},
                      FormatCase{-40, "-40"}, FormatCase{1, "1"}, FormatCase{0.5, "0.5"},
                      FormatCase{-0.0000004, "-4.000e-7"}, FormatCase{2.0000001, "2"},
                      FormatCase{-0.0001234564, "-0.000123"},
                      FormatCase{std::numeric_limits<double>::infinity(), "inf"}));

}  // namespace
}  // namespace lw
