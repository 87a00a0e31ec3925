// The graph panel: controls, legend, value axis, time labels, the series
// over the time window, the hover readout, and the empty and paused states.
// Each series is reduced to a few points per pixel column, kept from frame
// to frame (graph_columns.h); those give the axis its range too.
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/time.h"
#include "lang/tr.h"
#include "ui/colours.h"
#include "ui/graph/graph_axis.h"
#include "ui/graph/graph_columns.h"
#include "ui/paint/paint_context.h"
#include "ui/readable.h"
#include "ui/shapes.h"

namespace lw {

namespace {

struct Mapping {
  Rect plot;
  TimeWindow window;
  ValueAxis axis;

  float x(Millis t) const {
    const double span = static_cast<double>(std::max<Millis>(1, window.end - window.start));
    return plot.x + static_cast<float>(static_cast<double>(t - window.start) / span * plot.w);
  }
  float y(double v) const {
    const double range = axis.top - axis.bottom;
    return plot.bottom() - static_cast<float>((v - axis.bottom) / range * plot.h);
  }
  Millis time_at(float px) const {
    const double f = std::clamp(static_cast<double>((px - plot.x) / plot.w), 0.0, 1.0);
    return window.start +
           static_cast<Millis>(std::llround(f * static_cast<double>(window.end - window.start)));
  }
};

bool overlap(const Rect& a, const Rect& b) {
  return a.x < b.right() && b.x < a.right() && a.y < b.bottom() && b.y < a.bottom();
}

// The value labels left of the plot, from the bottom up: one every so many
// ticks so that they stand apart, none over another, the lowest kept above
// the time labels and the highest under the legend.
void paint_axis(const PaintContext& c, const Mapping& m) {
  const Palette& p = c.pal;
  const Rect plot = m.plot;
  const float px = std::max(1.0f, std::floor(c.s()));
  const float label_h = c.d(16);
  const size_t ticks = m.axis.ticks.size();
  const double range = m.axis.top - m.axis.bottom;
  const float pitch = range > 0 ? static_cast<float>(m.axis.step / range * plot.h) : plot.h;
  const size_t every =
      pitch > 0 ? std::max<size_t>(1, static_cast<size_t>(std::ceil((label_h + c.d(2)) / pitch)))
                : ticks;
  std::optional<Rect> last;
  for (size_t i = 0; i < ticks; ++i) {
    const double tick = m.axis.ticks[i];
    const float y = std::round(m.y(tick));
    c.gfx.fill_rect({plot.x, y, plot.w, px}, p[Pal::separator].with_opacity(0.8f));
    if (i % every != 0) continue;
    const float label_y =
        std::max(plot.y - c.d(6), std::min(y - label_h / 2, plot.bottom() - label_h + c.d(1)));
    const Rect box{plot.x - c.d(56), label_y, c.d(50), label_h};
    if (last && overlap(*last, box)) continue;
    c.gfx.draw_text(tick_label(tick, m.axis.decimals), box, readable(p[Pal::muted], p[Pal::log]),
                    TextFormat::small, Align::trailing);
    last = box;
  }
}

// Three time labels: the window's start, middle and end, each centred on
// its place and kept inside the panel; the middle one goes when it would
// touch the others.
void paint_time_labels(const PaintContext& c, const Mapping& m, const Rect& panel) {
  struct Label {
    std::string text;
    Rect box;
  };
  std::vector<Label> labels;
  for (const double f : {0.0, 1.0, 0.5}) {
    const Millis t =
        m.window.start +
        static_cast<Millis>(std::llround(f * static_cast<double>(m.window.end - m.window.start)));
    std::string text = format_hms_millis(t);
    const float w = std::ceil(c.gfx.measure_text(text, TextFormat::small)) + c.d(2);
    const float at = m.plot.x + static_cast<float>(f) * m.plot.w;
    const float x = std::clamp(at - w / 2, panel.x + c.d(4), panel.right() - c.d(4) - w);
    const Rect box{x, m.plot.bottom() + c.d(1), w, c.d(16)};
    bool clear = true;
    for (const Label& l : labels) clear = clear && !overlap(l.box, box);
    if (clear) labels.push_back({std::move(text), box});
  }
  for (const Label& l : labels) {
    c.gfx.draw_text(l.text, l.box, readable(c.pal[Pal::muted], c.pal[Pal::log]), TextFormat::small,
                    Align::centre);
  }
}

// The visible series reduced to their columns, with the range they span.
struct Reduced {
  std::vector<std::pair<size_t, ColumnPoints>> series;  // series index, columns
  std::optional<ValueRange> range;
};

Reduced reduce_series(const TabSeries& series, TimeWindow window, const Rect& plot,
                      GraphColumns& caches) {
  Reduced r;
  const auto columns = static_cast<size_t>(std::max(1.0f, std::ceil(plot.w)));
  caches.series.resize(series.series().size());
  for (size_t i = 0; i < series.series().size(); ++i) {
    const Series& s = series.series()[i];
    if (!s.visible) continue;
    ColumnPoints cp;
    caches.series[i].reduce(s.points, window, columns, cp);
    if (!cp.any) continue;
    if (!r.range) {
      r.range = ValueRange{cp.min, cp.max};
    } else {
      r.range->min = std::min(r.range->min, cp.min);
      r.range->max = std::max(r.range->max, cp.max);
    }
    r.series.emplace_back(i, std::move(cp));
  }
  return r;
}

void paint_series(const PaintContext& c, const TabSeries& series, const Reduced& reduced,
                  const Mapping& m) {
  std::vector<Point> points;
  for (const auto& [index, cp] : reduced.series) {
    const PointRing& ring = series.series()[index].points;
    const Color colour = colours::series_colour(index);
    points.clear();
    for (const size_t k : cp.indices) {
      const Point p{m.x(ring[k].stamp), m.y(ring[k].value)};
      // A point less than a pixel across and under a pixel up or down from
      // the one before adds nothing that shows, only stroking work.
      if (!points.empty() && std::fabs(p.x - points.back().x) < 1.0f &&
          std::fabs(p.y - points.back().y) < 0.75f) {
        continue;
      }
      points.push_back(p);
    }
    // The newest point is where the line must end.
    if (!cp.indices.empty()) {
      const size_t k = cp.indices.back();
      points.back() = Point{m.x(ring[k].stamp), m.y(ring[k].value)};
    }
    simplify_polyline(points, 0.3f * c.s());
    // One point in the window (or several on one spot) is a dot.
    if (points.size() == 1) {
      c.gfx.fill_circle(points.front(), c.d(2.5f), colour);
    } else {
      c.gfx.polyline(points, c.d(1.4f), colour);
    }
  }
}

// The point of [lo, hi) nearest to t; of two equally near, the earlier.
size_t nearest_point(const PointRing& ring, size_t lo, size_t hi, Millis t) {
  size_t i = std::clamp(ring.lower_bound(t), lo, hi - 1);
  if (i > lo && t - ring[i - 1].stamp <= ring[i].stamp - t) --i;
  return i;
}

void paint_hover(const PaintContext& c, const TabSeries& series, const Mapping& m, float mouse_x) {
  const Rect plot = m.plot;
  const float px = std::max(1.0f, std::floor(c.s()));
  c.gfx.fill_rect({std::round(mouse_x), plot.y, px, plot.h}, c.pal[Pal::muted].with_opacity(0.7f));
  const Millis t = m.time_at(mouse_x);

  struct Row {
    std::string text;
    Color colour;
  };
  std::vector<Row> rows;
  for (size_t i = 0; i < series.series().size(); ++i) {
    const Series& s = series.series()[i];
    if (!s.visible) continue;
    const size_t lo = s.points.lower_bound(m.window.start);
    const size_t hi = s.points.upper_bound(m.window.end);
    if (lo >= hi) continue;
    const SeriesPoint& sp = s.points[nearest_point(s.points, lo, hi, t)];
    const Color colour = colours::series_colour(i);
    c.gfx.fill_circle({m.x(sp.stamp), m.y(sp.value)}, c.d(3.5f), colour);
    rows.push_back({s.name + "  " + format_value(sp.value), colour});
  }

  const float pad = c.d(5);
  const float row_h = c.d(18);
  const float swatch = c.d(12);
  const std::string time = format_hms_millis(t);
  float text_w = c.gfx.measure_text(time, TextFormat::small);
  for (const Row& r : rows) {
    text_w = std::max(text_w, swatch + c.gfx.measure_text(r.text, TextFormat::small));
  }
  const float w = std::ceil(text_w) + 2 * pad + c.d(4);
  const float h = row_h * static_cast<float>(rows.size() + 1) + 2 * pad;
  float x = mouse_x + c.d(12);
  if (x + w > plot.right()) x = mouse_x - c.d(12) - w;
  const Rect box{std::round(std::max(plot.x, x)), plot.y + c.d(6), w, h};
  c.gfx.fill_rounded_rect(box, c.d(6), colours::readout_box.with_opacity(0.9f));
  float y = box.y + pad;
  c.gfx.draw_text(time, {box.x + pad, y, w - 2 * pad, row_h}, colours::white, TextFormat::small,
                  Align::leading);
  for (const Row& r : rows) {
    y += row_h;
    c.gfx.fill_rounded_rect({box.x + pad, y + (row_h - c.d(8)) / 2, c.d(8), c.d(8)}, c.d(2),
                            r.colour);
    c.gfx.draw_text(r.text, {box.x + pad + swatch, y, w - 2 * pad - swatch, row_h}, colours::white,
                    TextFormat::small, Align::leading);
  }
}

void paint_chip(const PaintContext& c, const LegendChip& chip) {
  const Palette& p = c.pal;
  Color face = p[Pal::log];
  if (c.hovered(target::legend_chip, chip.series)) {
    c.gfx.fill_rounded_rect(chip.rect, c.d(6), p[Pal::muted].with_opacity(0.1f));
    face = over(p[Pal::muted].with_opacity(0.1f), face);
  }
  if (chip.series == kMoreChip) {
    c.gfx.draw_text(chip.text, chip.rect, readable(p[Pal::muted], face), TextFormat::small,
                    Align::centre);
    return;
  }
  if (chip.visible) {
    c.gfx.fill_rounded_rect(chip.swatch, c.d(3), chip.colour);
  } else {
    const float w = 1.5f * c.s();
    const Rect sw = chip.swatch;
    c.gfx.stroke_rounded_rect({sw.x + w / 2, sw.y + w / 2, sw.w - w, sw.h - w}, c.d(3), w,
                              chip.colour.with_opacity(0.6f));
  }
  const float x = chip.swatch.right() + c.d(6);
  c.gfx.draw_text(chip.text, {x, chip.rect.y, chip.rect.right() - x - c.d(4), chip.rect.h},
                  readable(chip.visible ? p[Pal::text] : p[Pal::muted], face), TextFormat::small,
                  Align::leading);
}

}  // namespace

void paint_graph(const PaintContext& c) {
  if (!c.frame.graph || c.frame.session == nullptr) return;
  const GraphFrame& g = *c.frame.graph;
  const TabSeries& series = c.frame.session->lab.series;
  const Palette& p = c.pal;
  const Rect panel = g.panel;
  const float radius = c.d(8);
  c.gfx.fill_rounded_rect(panel, radius, p[Pal::log]);
  const float px = std::max(1.0f, std::floor(c.s()));
  c.gfx.stroke_rounded_rect({panel.x + px / 2, panel.y + px / 2, panel.w - px, panel.h - px},
                            radius, px, p[Pal::separator]);
  c.gfx.push_clip(panel);
  for (const Widget& w : g.controls) paint_widget(c, w, p[Pal::log]);
  for (const LegendChip& chip : g.chips) paint_chip(c, chip);

  if (series.series().empty()) {
    c.gfx.draw_text(tr("줄에서 찾은 숫자가 여기에 그려집니다 (예: T=21.5 H=40, 또는 1.2,3.4,5.6)",
                       "Numbers found in lines are plotted here (e.g. T=21.5 H=40, or "
                       "1.2,3.4,5.6)"),
                    {panel.x + c.d(14), g.plot.y, panel.w - c.d(28), g.plot.h},
                    readable(p[Pal::muted], p[Pal::log]), TextFormat::small, Align::leading);
  } else {
    // The window's own cache of the shown tab's columns; another tab starts
    // it afresh.
    GraphColumns& caches = ui_state(c.app).graph_columns;
    if (caches.session_id != c.frame.session->id) caches = GraphColumns{c.frame.session->id, {}};
    const Reduced reduced = reduce_series(series, g.window, g.plot, caches);
    Mapping m{g.plot, g.window, value_axis(reduced.range)};
    paint_axis(c, m);
    paint_time_labels(c, m, panel);
    c.gfx.push_clip(g.plot);
    paint_series(c, series, reduced, m);
    c.gfx.pop_clip();
    if (c.ui.hover.target == target::plot && c.ui.mouse && g.plot.contains(*c.ui.mouse)) {
      paint_hover(c, series, m, c.ui.mouse->x);
    }
  }
  if (series.paused()) {
    const std::string paused = tr("멈춘 상태", "Paused");
    const float w = std::ceil(c.gfx.measure_text(paused, TextFormat::bold)) + c.d(20);
    const Rect tag{g.plot.right() - w - c.d(6), g.plot.y + c.d(6), w, c.d(22)};
    c.gfx.fill_rounded_rect(tag, c.d(11), p[Pal::muted].with_opacity(0.15f));
    c.gfx.draw_text(paused, tag,
                    readable(p[Pal::muted], over(p[Pal::muted].with_opacity(0.15f), p[Pal::log])),
                    TextFormat::bold, Align::centre);
  }
  c.gfx.pop_clip();
}

}  // namespace lw
