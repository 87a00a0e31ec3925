#pragma once
// Hit targets: what a point of the window is over. Bar widgets answer with
// their command number; the rest with the numbers below, lists with an index.
#include <cstddef>

namespace lw {

namespace target {
inline constexpr int nothing = 0;
inline constexpr int menu_button = 1;
inline constexpr int port_row = 2;
inline constexpr int auto_open = 3;
inline constexpr int tab = 4;
inline constexpr int tab_close = 5;
inline constexpr int open_by_path = 47;  // the entry after the port rows
inline constexpr int log_rows = 21;
inline constexpr int scroll_bar = 22;
inline constexpr int jump_to_bottom = 23;
inline constexpr int dropdown_item = 28;
inline constexpr int dropdown_panel = 29;
inline constexpr int legend_chip = 36;
inline constexpr int plot = 40;
inline constexpr int dialog_ok = 41;
inline constexpr int dialog_cancel = 42;
inline constexpr int notice_action = 43;  // index: which action
}  // namespace target

struct Hit {
  int target = target::nothing;
  size_t index = 0;
  friend bool operator==(const Hit&, const Hit&) = default;
};

}  // namespace lw
