#include "ui/graph_layout.h"

#include <algorithm>
#include <cmath>

#include "gfx/icons.h"
#include "lang/tr.h"
#include "ui/colours.h"
#include "ui/geometry.h"

namespace lw {

namespace {
constexpr float kControlHeight = 28;
constexpr float kChipHeight = 24;
constexpr float kChipMaxWidth = 230;
constexpr float kChipGap = 6;
constexpr float kChipRowGap = 4;
constexpr float kLegendTop = 6 + 6;
constexpr float kPlotGap = 8;      // between the legend and the plot
constexpr float kTimeLabels = 24;  // under the plot
// Swatch and padding around a chip's label: 8, swatch 10, 6, label, 10.
constexpr float kChipExtra = 34;

float chip_width(std::string_view text, Gfx& gfx) {
  return std::ceil(gfx.measure_text(text, TextFormat::small) + dip(kChipExtra, gfx.scale()));
}

// The first `keep` parts, then as many more whole parts as keep the chip
// within max_w.
std::string chip_text(const std::vector<std::string>& parts, size_t keep, float max_w, Gfx& gfx) {
  std::string text;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string next = text + parts[i];
    if (i >= keep && chip_width(next, gfx) > max_w) break;
    text = std::move(next);
  }
  return text;
}

// Where the legend's rows go.
struct LegendRows {
  float start_x = 0;
  float first_limit = 0;  // the first row ends here (the controls)
  float limit = 0;        // the rows below it end here
  float top = 0;
  float height = 0;  // of a row
  float pitch = 0;   // from row to row
  size_t max_rows = 1;
};

// Chips of these widths in rows, as many as fit in max_rows.
std::vector<Rect> flow(const std::vector<float>& widths, const LegendRows& r, float gap) {
  std::vector<Rect> out;
  float x = r.start_x;
  size_t row = 0;
  for (float w : widths) {
    for (;;) {
      const float limit = row == 0 ? r.first_limit : r.limit;
      if (x + w <= limit) break;
      if (x <= r.start_x && row > 0) {
        w = std::max(0.0f, limit - x);  // wider than a whole row: cut
        break;
      }
      ++row;
      x = r.start_x;
    }
    if (row >= r.max_rows) break;
    out.push_back({std::round(x), r.top + r.pitch * static_cast<float>(row), w, r.height});
    x += w + gap;
  }
  return out;
}

}  // namespace

std::vector<Widget> graph_controls(const Rect& panel, const TabSeries& series, Gfx& gfx) {
  const float s = gfx.scale();
  std::vector<Widget> right(3);
  Widget& stats = right[0];
  stats.id = cmd::graph_stats;
  stats.style = WidgetStyle::dropdown;
  stats.label = series.stats_over_span() ? tr("통계: 보이는 구간", "Stats: visible span")
                                         : tr("통계: 연 이후", "Stats: since opening");
  stats.tooltip = tr("현재/최소/최대/평균/개수를 계산하는 구간",
                     "Which span the current/min/max/mean/count cover");
  Widget& pause = right[1];
  pause.id = cmd::graph_pause;
  pause.style = WidgetStyle::segment;
  pause.icon = icons::pause;
  pause.active = series.paused();
  pause.label = series.paused() ? tr("계속", "Resume") : tr("멈춤", "Pause");
  pause.tooltip = tr("그래프를 멈춰 자세히 봅니다 (기록은 계속됩니다)",
                     "Freeze the graph to look closely (recording continues)");
  pause.narrow_rank = 1;
  Widget& span = right[2];
  span.id = cmd::graph_span;
  span.style = WidgetStyle::dropdown;
  span.label = span_label(series.span_millis());
  span.tooltip = tr("보이는 시간 (그래프 위에서 휠로 확대/축소)",
                    "Time shown (use the wheel over the graph to zoom)");

  RowPlacement p;
  p.row = {panel.x, panel.y + dip(10, s), panel.w, rdip(kControlHeight, s)};
  p.left = panel.x + dip(10, s);
  p.right = panel.right() - dip(10, s);
  p.height = kControlHeight;
  std::vector<Widget> none;
  layout_row(none, right, p, gfx);
  std::reverse(right.begin(), right.end());
  return right;
}

std::vector<std::string> legend_parts(const TabSeries& series, size_t index, Millis now) {
  const Series& s = series.series()[index];
  const SeriesStats st = series.stats(index, now);
  std::vector<std::string> parts{s.name};
  if (st.current) parts.push_back(" " + format_value(*st.current));
  if (st.count > 0) {
    parts.push_back("  ↓" + format_value(st.min));
    parts.push_back(" ↑" + format_value(st.max));
    parts.push_back(" μ" + format_value(st.mean));
    parts.push_back(" n=" + std::to_string(st.count));
  }
  return parts;
}

std::string legend_label(const TabSeries& series, size_t index, Millis now) {
  std::string out;
  for (const std::string& part : legend_parts(series, index, now)) out += part;
  return out;
}

std::vector<LegendChip> legend_items(const Rect& panel, float limit_x, const TabSeries& series,
                                     Millis now, Gfx& gfx) {
  const float s = gfx.scale();
  const size_t n = series.series().size();
  LegendRows rows;
  rows.start_x = panel.x + dip(10, s);
  rows.first_limit = limit_x;
  rows.limit = panel.right() - dip(10, s);
  rows.top = panel.y + dip(kLegendTop, s);
  rows.height = rdip(kChipHeight, s);
  rows.pitch = rows.height + dip(kChipRowGap, s);
  // Rows down to where the plot keeps its least height (the plot's top is
  // 8 under the legend, its bottom 24 above the panel's bottom + 6).
  const float lowest = panel.bottom() + dip(6 - kTimeLabels - kPlotGap - kMinPlotHeight, s);
  const float room = lowest - rows.top + dip(kChipRowGap, s);
  rows.max_rows = std::max<size_t>(1, static_cast<size_t>(std::max(0.0f, room / rows.pitch)));

  std::vector<std::vector<std::string>> parts(n);
  std::vector<std::string> labels(n);
  for (size_t i = 0; i < n; ++i) {
    parts[i] = legend_parts(series, i, now);
    for (const std::string& part : parts[i]) labels[i] += part;
  }
  std::vector<std::string> texts(n);
  std::vector<float> widths(n);
  const auto lay = [&](bool with_statistics) {
    for (size_t i = 0; i < n; ++i) {
      texts[i] = with_statistics ? chip_text(parts[i], 2, dip(kChipMaxWidth, s), gfx)
                                 : chip_text(parts[i], 2, 0, gfx);
      widths[i] = chip_width(texts[i], gfx);
    }
    return flow(widths, rows, dip(kChipGap, s));
  };
  std::vector<Rect> rects = lay(true);
  if (rects.size() < n) rects = lay(false);
  // Still too many: the last chip stands for the rest.
  size_t shown = rects.size();
  std::string more;
  if (shown < n) {
    for (; shown > 0; --shown) {
      more = "+" + std::to_string(n - shown);
      std::vector<float> w(widths.begin(), widths.begin() + static_cast<ptrdiff_t>(shown));
      w.push_back(std::ceil(gfx.measure_text(more, TextFormat::small) + dip(20, s)));
      rects = flow(w, rows, dip(kChipGap, s));
      if (rects.size() == shown + 1) break;
    }
    if (shown == 0) {
      more = "+" + std::to_string(n);
      rects = flow({std::ceil(gfx.measure_text(more, TextFormat::small) + dip(20, s))}, rows,
                   dip(kChipGap, s));
    }
  }

  std::vector<LegendChip> chips;
  for (size_t i = 0; i < shown; ++i) {
    LegendChip chip;
    chip.series = i;
    chip.text = texts[i];
    chip.label = labels[i];
    chip.colour = colours::series_colour(i);
    chip.visible = series.series()[i].visible;
    chip.rect = rects[i];
    const float sw = dip(10, s);
    chip.swatch = {chip.rect.x + dip(8, s), std::round(chip.rect.y + (chip.rect.h - sw) / 2), sw,
                   sw};
    chips.push_back(std::move(chip));
  }
  if (shown < n && rects.size() > shown) {
    LegendChip chip;
    chip.series = kMoreChip;
    chip.text = more;
    for (size_t i = shown; i < n; ++i) {
      if (!chip.label.empty()) chip.label += ", ";
      chip.label += series.series()[i].name;
    }
    chip.rect = rects[shown];
    chips.push_back(std::move(chip));
  }
  return chips;
}

Rect plot_rect(const Rect& panel, float legend_bottom, float scale) {
  const float s = scale;
  // Rounded to whole pixels, since the plot is a clip.
  const float top = std::round(std::max(legend_bottom + dip(8, s), panel.y + dip(6 + 44 + 8, s)));
  const float w = std::round(std::max(dip(20, s), panel.w - dip(72, s)));
  const float h = std::round(std::max(dip(20, s), panel.bottom() + dip(6, s) - top - dip(24, s)));
  return {std::round(panel.x + dip(58, s)), top, w, h};
}

GraphFrame graph_frame(const Rect& panel, const TabSeries& series, Millis now, Gfx& gfx) {
  GraphFrame g;
  g.panel = panel;
  g.window = series.window(now);
  g.controls = graph_controls(panel, series, gfx);
  const float limit =
      g.controls.empty() ? panel.right() - dip(10, gfx.scale()) : g.controls.front().rect.x;
  g.chips = legend_items(panel, limit - dip(kChipGap, gfx.scale()), series, now, gfx);
  float legend_bottom = panel.y;
  for (const LegendChip& c : g.chips) legend_bottom = std::max(legend_bottom, c.rect.bottom());
  g.plot = plot_rect(panel, legend_bottom, gfx.scale());
  return g;
}

}  // namespace lw
