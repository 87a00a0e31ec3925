#pragma once
// What every painting function of the window gets: the drawing interface,
// the palette in force, the scale and the frame's geometry.
#include "app/app.h"
#include "gfx/palette.h"
#include "ui/frame.h"
#include "ui/ui_state.h"

namespace lw {

struct PaintContext {
  App& app;
  Gfx& gfx;
  const Palette& pal;
  bool dark = false;
  const UiFrame& frame;
  const UiState& ui;

  float s() const { return frame.layout.scale; }
  float d(float dips) const { return dips * frame.layout.scale; }
  bool hovered(int target, size_t index = 0) const {
    return ui.hover.target == target && ui.hover.index == index;
  }
};

// The pieces of a frame, in the order paint_window draws them.
void paint_top_bar(const PaintContext& c);
void paint_port_panel(const PaintContext& c);
void paint_tab_row(const PaintContext& c);
void paint_widgets(const PaintContext& c);
void paint_log(const PaintContext& c);
void paint_graph(const PaintContext& c);
void paint_no_tab(const PaintContext& c);
void paint_dropdown(const PaintContext& c);
void paint_notice(const PaintContext& c);
void paint_tooltip(const PaintContext& c);

// The port list's last entry, "Open a device by path…".
std::string open_by_path_label();

// One widget (fields included), as the bars and the graph controls draw it,
// over a surface of the colour `backdrop`.
void paint_widget(const PaintContext& c, const Widget& w, Color backdrop);

}  // namespace lw
