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
  // Index in the tab's series; kMoreChip for the chip that stands for the
  // series left out when the panel has no room for all of them.
  size_t series = 0;
  Rect rect;
  Rect swatch;
  std::string text;   // what the chip shows: its name and newest value, and the
                      // statistics that fit, each whole
  std::string label;  // all of it, for the tooltip
  Color colour;
  bool visible = true;
};
inline constexpr size_t kMoreChip = static_cast<size_t>(-1);

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

// One chip per series from the panel's top left. The first row ends before
// `limit_x` (the left edge of the controls), the rows below it use the
// panel's width. A chip shows its name and newest value, and as many of its
// statistics as fit in 230, each whole. The rows stop where the plot would
// get less than its minimum height: then the chips show name and value
// only, and if they still do not fit, a last chip "+N" stands for the rest.
std::vector<LegendChip> legend_items(const Rect& panel, float limit_x, const TabSeries& series,
                                     Millis now, Gfx& gfx);

// Left 58 in (room for value labels), 8 below the lowest legend row but not
// above the panel top + 58, 72 narrower than the panel, 24 left for the time
// labels; at least 20 each way.
Rect plot_rect(const Rect& panel, float legend_bottom, float scale);
// The least height the legend leaves the plot (DIPs), where the panel has it.
inline constexpr float kMinPlotHeight = 80;

GraphFrame graph_frame(const Rect& panel, const TabSeries& series, Millis now, Gfx& gfx);

// The chip's text: name, the newest value, then lowest, highest, mean and
// count over the chosen statistics span; and the same in its parts.
std::string legend_label(const TabSeries& series, size_t index, Millis now);
std::vector<std::string> legend_parts(const TabSeries& series, size_t index, Millis now);

}  // namespace lw
