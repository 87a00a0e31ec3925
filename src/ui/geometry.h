#pragma once
// Where every region of the window lies, from the client size and the scale
// (DPI / 96). Sizes are DIPs times the scale; the bars' heights are rounded
// to whole pixels. Painting and hit testing both start from here, so what is
// drawn is what is clickable.
#include <cstddef>
#include <optional>

#include "gfx/gfx.h"

namespace lw {

struct WindowLayout {
  float scale = 1;
  float width = 0;
  float height = 0;
  float panel_width = 0;  // P: 280, or 236 below 1000 wide
  Rect top_bar;
  Rect menu_button;
  Rect port_panel;
  Rect auto_open;  // the bottom of the port panel
  Rect tab_row;
  Rect settings_row;
  Rect toolbar_row;
  Rect log_card;  // the graph (when shown) and the log rows
  Rect send_bar;
};

WindowLayout window_layout(float width_px, float height_px, float scale);

// DIPs to pixels, plain and rounded.
inline float dip(float d, float scale) { return d * scale; }
float rdip(float d, float scale);

Rect log_card_rect(const WindowLayout& layout);
Rect auto_open_rect(const WindowLayout& layout);
// Row `index` of the port list; rows whose rectangle reaches past the top of
// the auto-open row are not drawn (port_row_shown).
Rect port_row_rect(const WindowLayout& layout, size_t index);
bool port_row_shown(const WindowLayout& layout, size_t index);

// The log card with the graph on: the graph takes the top part and the log
// rows start 6 below it, keeping at least 10 of height.
struct CardSplit {
  std::optional<Rect> graph;
  Rect log;
};
float graph_panel_height(float card_height, float scale);
CardSplit split_log_card(Rect card, bool graph_shown, float scale);

// Log rows: 19 high (rounded); at least one row fits.
float log_row_height(float scale);
size_t rows_that_fit(const Rect& log, float scale);

// "Jump to bottom": 34 high, its right edge 22 from the log's, 46 above its
// bottom; label_width is the width of the label in the normal format.
Rect jump_pill_rect(const Rect& log, float label_width, float scale);

// The scroll bar along the log's right side, present when there are more
// shown lines than rows that fit. The thumb moves over the track in
// proportion to scroll / (shown - rows).
struct ScrollBarGeometry {
  Rect area;   // hit target: the strip along the right side
  Rect track;  // where the thumb runs
  Rect thumb;
  double max_scroll = 0;
};
std::optional<ScrollBarGeometry> scroll_bar_geometry(const Rect& log, size_t shown, size_t rows_fit,
                                                     double scroll, float scale);

}  // namespace lw
