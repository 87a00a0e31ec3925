#pragma once
// The widget shape shared by painting, hit testing and tooltips: a stable
// id (the command a click sends, never derived from the translated label),
// what is shown on it, and the rectangle the row layout gives it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gfx/gfx.h"

namespace lw {

// Command numbers of the bar widgets.
namespace cmd {
inline constexpr int none = 0;  // shown, never hit (amounts, match counts)
inline constexpr int baud_presets = 6;
inline constexpr int baud_field = 7;
inline constexpr int frame_setting = 8;
inline constexpr int dtr = 9;
inline constexpr int rts = 10;
inline constexpr int open_close = 11;
inline constexpr int record = 12;
inline constexpr int text_hex = 13;
inline constexpr int stamp_mode = 14;
inline constexpr int search_field = 15;
inline constexpr int clear_search = 16;
inline constexpr int matching_only = 17;
inline constexpr int clear_log = 18;
inline constexpr int copy_lines = 19;
inline constexpr int save_log = 20;
inline constexpr int send_field = 24;
inline constexpr int line_ending = 25;
inline constexpr int hex_send = 26;
inline constexpr int send = 27;
inline constexpr int graph = 30;
inline constexpr int values_csv = 31;
inline constexpr int note = 32;
inline constexpr int alerts = 33;
inline constexpr int presets = 34;
inline constexpr int repeat = 35;
inline constexpr int graph_span = 37;
inline constexpr int graph_pause = 38;
inline constexpr int graph_stats = 39;
inline constexpr int dialog_field = 44;  // the in-window dialog's field; painted, never hit
// "…" at the end of a row too narrow for all its widgets: a menu of the
// ones that moved there. Its index is the row (see BarRow).
inline constexpr int overflow = 45;
inline constexpr int replay_speed = 46;  // a replay tab's speed, where the baud would be
// Beside Close: let another program use the port, or, while the tab waits
// for it, take it back.
inline constexpr int let_go = 48;
}  // namespace cmd

// The style byte: 2 a segment of a two-way switch, 3 a label with a
// drop-down marker, 4 icon only, 5 icon and label. 1 is a plain label
// button; fields and read-outs are kinds of their own.
enum class WidgetStyle : uint8_t {
  button = 1,
  segment = 2,
  dropdown = 3,
  icon = 4,
  icon_label = 5,
  field = 6,    // a text field; its label is its width in DIPs
  readout = 7,  // text only, not clickable
};

enum class FieldKind : uint8_t { send, search, baud, dialog };

struct Widget {
  int id = cmd::none;
  size_t index = 0;  // which segment of a switch
  std::string label;
  std::string_view icon;  // icon path text; the program's constants only
  WidgetStyle style = WidgetStyle::button;
  bool active = false;
  bool primary = false;  // filled in the accent colour (Send)
  bool expand = false;   // takes the width the row leaves (the send field)
  std::string tooltip;
  // Read-outs: a second text shown after the label, and their width.
  std::string detail;
  float fixed_width = 0;
  // How it gives way when its row is too narrow (layout_row): the higher
  // rank goes first, 0 never. Its narrow form: a widget with an icon shows
  // the icon alone, a read-out hides, a field shrinks to min_width.
  uint8_t narrow_rank = 0;
  // Then, if the narrow forms are not enough: into the row's overflow menu.
  uint8_t overflow_rank = 0;
  float min_width = 0;   // DIPs: a field's narrow width; the least an expanding field keeps
  bool compact = false;  // in its narrow form
  Rect rect;

  bool is_field() const { return style == WidgetStyle::field; }
  bool clickable() const { return id != cmd::none; }
  // The label as drawn: none in the narrow form (the label stays for menus
  // and the tooltip).
  std::string_view shown_label() const { return compact ? std::string_view() : label; }
};

// The width of an input widget from its label ("160", "220", "110"), in
// DIPs; 200 when the label does not parse.
float field_width_dips(std::string_view label);

// A button's width: 18 for an icon, plus 6 and the label's width when there
// is a label; a label alone is its width; 16 more for a drop-down; then 24
// of padding. With no label at all it is square (width = height), except a
// drop-down with an icon, which keeps room for its marker.
float widget_width(const Widget& w, Gfx& gfx, float height);

struct RowPlacement {
  Rect row;          // the bar's rectangle
  float left = 0;    // where the left list starts
  float right = 0;   // where the right list ends
  float height = 0;  // of every widget, before rounding
  // The index an overflow button of this row carries; without one (-1)
  // what does not fit is left out.
  int overflow_row = -1;
};

// Places the left list rightwards from `left`, the right list leftwards
// from `right`, 6 apart, centred vertically in the row; an expanding widget
// of the left list takes what is left between the two. A row too narrow
// for its widgets first puts them in their narrow forms (narrow_rank), then
// moves them into an overflow menu (overflow_rank) whose "…" button takes
// the place of the first one moved, and last leaves out widgets from its
// right end, so no two widgets ever overlap or leave the row. Returns the
// widgets moved out, in row order.
std::vector<Widget> layout_row(std::vector<Widget>& left, std::vector<Widget>& right,
                               const RowPlacement& placement, Gfx& gfx);

// The "…" button of an overflowing row.
Widget overflow_button(int row);

}  // namespace lw
