#include "ui/paint/paint.h"

#include "gfx/theme.h"
#include "ui/frame.h"
#include "ui/paint/paint_context.h"
#include "ui/ui_state.h"

namespace lw {

void set_dark_theme(App& app, bool dark) { ui_state(app).dark = dark; }

void paint_window(App& app, Gfx& gfx, float width_px, float height_px) {
  UiState& ui = ui_state(app);
  if (!ui.dark) ui.dark = system_uses_dark_theme();
  const Palette& pal = palette_for(*ui.dark);
  const UiFrame frame = build_frame(app, gfx, width_px, height_px);
  const PaintContext c{app, gfx, pal, *ui.dark, frame, ui};

  gfx.begin_frame(pal[Pal::background]);
  paint_top_bar(c);
  paint_port_panel(c);
  paint_tab_row(c);
  if (frame.session != nullptr) {
    paint_widgets(c);
    paint_graph(c);
    paint_log(c);
  } else {
    paint_no_tab(c);
  }
  paint_dropdown(c);
  paint_notice(c);
  paint_dialog(c);
  paint_tooltip(c);
  gfx.end_frame();
}

}  // namespace lw
