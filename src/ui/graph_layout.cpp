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
// Swatch and padding around a chip's label: 8, swatch 10, 6, label, 10.
constexpr float kChipExtra = 34;
}  // namespace

std::vector<Widget> graph_controls(const Rect& panel, const TabSeries& series, Gfx& gfx) {
  const float s = gfx.scale();
  std::vector<Widget> right(3);
  Widget& stats = right[0];
  stats.id = cmd::graph_stats;
  stats.style = WidgetStyle::dropdown;
  stats.label = series.stats_over_span() ? tr("통계: 보이는 구간", "Stats: visible span")
                                         : tr("통계: 연 뒤로", "Stats: since opening");
  stats.tooltip = tr("현재/최소/최대/평균/개수가 다루는 구간",
                     "Which span the current/min/max/mean/count cover");
  Widget& pause = right[1];
  pause.id = cmd::graph_pause;
  pause.style = WidgetStyle::segment;
  pause.icon = icons::pause;
  pause.active = series.paused();
  pause.label = series.paused() ? tr("계속", "Resume") : tr("멈춤", "Pause");
  pause.tooltip = tr("그래프를 멈춰 자세히 봅니다 (기록은 계속됩니다)",
                     "Freeze the graph to look closely (recording continues)");
  Widget& span = right[2];
  span.id = cmd::graph_span;
  span.style = WidgetStyle::dropdown;
  span.label = span_label(series.span_millis());
  span.tooltip = tr("보이는 시간 (그래프 위에서 휠로 확대/축소)",
                    "Time shown (use the wheel over the graph to zoom)");

  RowPlacement p;
  p.row = {panel.x, panel.y + dip(10, s), panel.w, rdip(kControlHeight, s)};
  p.left = panel.x;
  p.right = panel.right() - dip(10, s);
  p.height = kControlHeight;
  layout_row({}, right, p, gfx);
  std::reverse(right.begin(), right.end());
  return right;
}

std::string legend_label(const TabSeries& series, size_t index, Millis now) {
  const Series& s = series.series()[index];
  const SeriesStats st = series.stats(index, now);
  std::string out = s.name;
  if (st.current) out += " " + format_value(*st.current);
  if (st.count > 0) {
    out += "  ↓" + format_value(st.min) + " ↑" + format_value(st.max) + " μ" +
           format_value(st.mean) + " n=" + std::to_string(st.count);
  }
  return out;
}

std::vector<LegendChip> legend_items(const Rect& panel, float limit_x, const TabSeries& series,
                                     Millis now, Gfx& gfx) {
  const float s = gfx.scale();
  const float start_x = panel.x + dip(10, s);
  const float h = rdip(kChipHeight, s);
  const float max_w = std::max(dip(60, s), std::min(dip(kChipMaxWidth, s), limit_x - start_x));
  float x = start_x;
  float y = panel.y + dip(6 + 6, s);
  std::vector<LegendChip> chips;
  for (size_t i = 0; i < series.series().size(); ++i) {
    LegendChip chip;
    chip.series = i;
    chip.label = legend_label(series, i, now);
    chip.colour = colours::series_colour(i);
    chip.visible = series.series()[i].visible;
    const float w = std::min(
        max_w, std::ceil(gfx.measure_text(chip.label, TextFormat::small) + dip(kChipExtra, s)));
    if (x > start_x && x + w > limit_x) {
      x = start_x;
      y += h + dip(kChipRowGap, s);
    }
    chip.rect = {std::round(x), y, w, h};
    const float sw = dip(10, s);
    chip.swatch = {chip.rect.x + dip(8, s), std::round(y + (h - sw) / 2), sw, sw};
    chips.push_back(std::move(chip));
    x += w + dip(kChipGap, s);
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
  const float limit = g.controls.empty() ? panel.right() : g.controls.front().rect.x;
  g.chips = legend_items(panel, limit - dip(kChipGap, gfx.scale()), series, now, gfx);
  float legend_bottom = panel.y;
  for (const LegendChip& c : g.chips) legend_bottom = std::max(legend_bottom, c.rect.bottom());
  g.plot = plot_rect(panel, legend_bottom, gfx.scale());
  return g;
}

}  // namespace lw
