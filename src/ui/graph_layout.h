#pragma once
// The graph panel's pieces: its three controls, the legend chips and the
// plot rectangle, from the panel's rectangle and the tab's series.
#include <cstddef>
#include <string>
#include <vector>

#include "gfx/gfx.h"
#include "lab/series.h"
#include "ui/widgets.h"

namespace lw {

struct LegendChip {
  size_t series = 0;  // index in the tab's series
  Rect rect;
  Rect swatch;
  std::string label;  // as wide as fits; the tooltip holds all of it
  Color colour;
  bool visible = true;
};

struct GraphFrame {
  Rect panel;
  Rect plot;
  TimeWindow window;
  std::vector<Widget> controls;  // span, pause, stats, left to right
  std::vector<LegendChip> chips;
};

// The three controls, placed right to left from the panel's right edge
// minus 10: statistics, pause, span.
std::vector<Widget> graph_controls(const Rect& panel, const TabSeries& series, Gfx& gfx);

// One chip per series from the panel's top left, wrapping before `limit_x`
// (the left edge of the controls).
std::vector<LegendChip> legend_items(const Rect& panel, float limit_x, const TabSeries& series,
                                     Millis now, Gfx& gfx);

// Left 58 in (room for value labels), 8 below the lowest legend row but not
// above the panel top + 58, 72 narrower than the panel, 24 left for the time
// labels; at least 20 each way.
Rect plot_rect(const Rect& panel, float legend_bottom, float scale);

GraphFrame graph_frame(const Rect& panel, const TabSeries& series, Millis now, Gfx& gfx);

// The chip's text: name, the newest value, then lowest, highest, mean and
// count over the chosen statistics span.
std::string legend_label(const TabSeries& series, size_t index, Millis now);

}  // namespace lw
