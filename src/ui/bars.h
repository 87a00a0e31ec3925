#pragma once
// The widgets of the three bars of a tab: the port settings row, the log
// toolbar and the send bar, each laid out by the row rules.
#include <vector>

#include "app/app_state.h"
#include "ui/geometry.h"
#include "ui/widgets.h"

namespace lw {

std::vector<Widget> settings_row_widgets(const Session& s, const AppState& app,
                                         const WindowLayout& layout, Gfx& gfx);

// Narrow when less than 920 DIPs lie right of the toolbar's left edge: the
// wide-only labels go and the search field is 160 instead of 220 wide.
bool narrow_toolbar(const WindowLayout& layout);
std::vector<Widget> toolbar_widgets(const Session& s, const AppState& app,
                                    const WindowLayout& layout, Gfx& gfx);

std::vector<Widget> send_bar_widgets(const Session& s, const WindowLayout& layout, Gfx& gfx);

}  // namespace lw
