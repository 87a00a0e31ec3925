#pragma once
// The widgets of the three bars of a tab: the port settings row, the log
// toolbar and the send bar, each laid out by the row rules.
#include <vector>

#include "app/app_state.h"
#include "ui/geometry.h"
#include "ui/widgets.h"

namespace lw {

// A bar's widgets in paint order, and those that moved into its overflow
// menu (the "…" button's index is the bar's number below).
struct BarRow {
  std::vector<Widget> widgets;
  std::vector<Widget> overflow;
};
inline constexpr int kSettingsBar = 0;
inline constexpr int kToolbar = 1;
inline constexpr int kSendBar = 2;
inline constexpr int kBarCount = 3;

BarRow settings_row_widgets(const Session& s, const AppState& app, const WindowLayout& layout,
                            Gfx& gfx);

// Narrow when less than 920 DIPs lie right of the toolbar's left edge: the
// wide-only labels go and the search field is 160 instead of 220 wide.
bool narrow_toolbar(const WindowLayout& layout);
BarRow toolbar_widgets(const Session& s, const AppState& app, const WindowLayout& layout, Gfx& gfx);

BarRow send_bar_widgets(const Session& s, const WindowLayout& layout, Gfx& gfx);

}  // namespace lw
