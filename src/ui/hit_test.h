#pragma once
// What is under a point of the window, over the same frame the painter
// draws, and the tooltip of what is hovered.
#include <optional>
#include <string>

#include "app/app.h"
#include "ui/frame.h"
#include "ui/hit.h"
#include "ui/ui_state.h"

namespace lw {

// While a dialog is open only its two buttons are hit. Otherwise, in order:
// an open drop-down's items and panel, notice actions, the menu button, the auto-open row, port
// rows, tab crosses and tabs, bar widgets (the rightmost 28 of the search field clears it while it
// holds text), legend chips, the plot, the jump pill, the scroll bar, the log rows. The rest of a
// notice hits nothing, so a click on it never reaches the rows below.
Hit hit_test(const UiFrame& frame, const UiState& ui, Gfx& gfx, Point p);
Hit hit_test(App& app, Gfx& gfx, float width_px, float height_px, Point p);
// The same for callers without a Gfx: while a dialog is open it hits
// nothing, not even the dialog's buttons (they need the Gfx to be placed).
Hit hit_test(const UiFrame& frame, const UiState& ui, Point p);

// The rectangle of what was hit (for placing the tooltip), if it has one.
std::optional<Rect> hit_rect(const UiFrame& frame, Hit hit);

// The tooltip of a widget or a legend chip; empty when it has none.
std::string tooltip_text(const UiFrame& frame, Hit hit);

}  // namespace lw
