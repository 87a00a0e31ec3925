// The mouse: presses on fields, log rows and the scroll bar (the rest goes
// to the click commands), row and thumb dragging, the log's context menu
// and the wheel.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "ui/commands.h"
#include "ui/dialog.h"
#include "ui/hit_test.h"
#include "ui/input.h"
#include "ui/input_shared.h"
#include "ui/menus.h"
#include "ui/text_edit.h"

namespace lw {

namespace {

constexpr int kNotch = 120;
constexpr double kLinesPerNotch = 3;

std::optional<Focus> field_focus(int target) {
  switch (target) {
    case cmd::send_field:
      return Focus::send;
    case cmd::search_field:
      return Focus::search;
    case cmd::baud_field:
      return Focus::baud;
    default:
      return std::nullopt;
  }
}

void press_field(View v, const UiFrame& f, Focus focus, Point p, bool shift) {
  ui_state(v.app).dropdown.reset();
  input::focus_field(v, focus);
  const std::optional<input::FocusedField> field = input::focused_field(v, f);
  if (!field) return;
  TextInput& t = *field->input;
  t.caret = caret_index_at(t, field->kind, field->widget, v.gfx, p.x);
  if (!shift) t.anchor = t.caret;
  input::place_ime(v, *field);
}

void press_rows(View v, const UiFrame& f, Session& s, Point p, bool shift) {
  UiState& ui = ui_state(v.app);
  ui.dropdown.reset();
  if (ui.focus != Focus::none && ui.focus != Focus::dialog) ui.focus = Focus::none;
  if (const std::optional<size_t> row = input::row_at(f, s, p.y)) {
    const uint64_t line = s.log.absolute_of_row(*row);
    const std::optional<Selection>& sel = s.log.selection();
    if (shift && sel) {
      s.log.set_selection(Selection{std::min(sel->anchor, sel->caret), line});
    } else {
      s.log.set_selection(Selection{line, line});
    }
  }
  ui.drag = Drag::rows;
  v.app.host().request_repaint();
}

void press_scroll_bar(View v, const Session& s, Point p) {
  UiState& ui = ui_state(v.app);
  ui.dropdown.reset();
  ui.drag = Drag::scroll_bar;
  ui.dragging_scroll_bar = true;
  ui.drag_start_y = p.y;
  ui.drag_start_scroll = s.log.scroll();
  v.app.host().request_repaint();
}

}  // namespace

namespace input {

void drag_to(View v, const UiFrame& f, Point p) {
  UiState& ui = ui_state(v.app);
  Session* s = f.session;
  if (s == nullptr) return;
  if (ui.drag == Drag::rows) {
    if (p.y < f.log.y) {
      scroll_log_by(v.app, *s, -1);
    } else if (p.y >= f.log.bottom()) {
      scroll_log_by(v.app, *s, 1);
    } else if (const std::optional<size_t> row = row_at(f, *s, p.y)) {
      if (std::optional<Selection> sel = s->log.selection()) {
        sel->caret = s->log.absolute_of_row(*row);
        s->log.set_selection(sel);
        v.app.host().request_repaint();
      }
    }
    return;
  }
  if (ui.drag == Drag::scroll_bar && f.scroll_bar) {
    const ScrollBarGeometry& bar = *f.scroll_bar;
    const float run = bar.track.h - bar.thumb.h;
    if (run <= 0) return;
    scroll_log_to(
        v.app, *s,
        ui.drag_start_scroll + static_cast<double>(p.y - ui.drag_start_y) / run * bar.max_scroll);
  }
}

}  // namespace input

void on_left_down(View v, Point p, Modifiers m) {
  UiState& ui = ui_state(v.app);
  ui.tooltip_shown = false;
  const UiFrame f = input::frame_of(v);
  if (ui.dialog) {
    const DialogGeometry g = dialog_geometry(v.gfx, v.width, v.height, v.gfx.scale());
    if (g.field.contains(p)) {
      press_field(v, f, Focus::dialog, p, m.shift);
    } else {
      run_click(v, hit_test(f, ui, v.gfx, p), p);
    }
    return;
  }
  const Hit hit = hit_test(f, ui, v.gfx, p);
  if (const std::optional<Focus> focus = field_focus(hit.target)) {
    press_field(v, f, *focus, p, m.shift);
  } else if (hit.target == target::log_rows && f.session != nullptr) {
    press_rows(v, f, *f.session, p, m.shift);
  } else if (hit.target == target::scroll_bar && f.session != nullptr && f.scroll_bar) {
    press_scroll_bar(v, *f.session, p);
  } else {
    run_click(v, hit, p);
  }
}

void on_left_up(View v, Point) {
  UiState& ui = ui_state(v.app);
  if (ui.drag == Drag::none) return;
  ui.drag = Drag::none;
  ui.dragging_scroll_bar = false;
  v.app.host().request_repaint();
}

void on_right_click(View v, Point p) {
  UiState& ui = ui_state(v.app);
  if (ui.dialog) return;
  const UiFrame f = input::frame_of(v);
  if (f.session == nullptr || hit_test(f, ui, v.gfx, p).target != target::log_rows) return;
  Session& s = *f.session;
  if (const std::optional<size_t> row = input::row_at(f, s, p.y)) {
    const uint64_t line = s.log.absolute_of_row(*row);
    const std::optional<Selection>& sel = s.log.selection();
    if (!sel || line < std::min(sel->anchor, sel->caret) ||
        line > std::max(sel->anchor, sel->caret)) {
      s.log.set_selection(Selection{line, line});
    }
  }
  // Painted with the row selected before the menu opens.
  show_log_menu(v.app, p);
}

void on_wheel(View v, Point p, int delta) {
  UiState& ui = ui_state(v.app);
  if (delta == 0 || ui.dialog) return;
  const UiFrame f = input::frame_of(v);
  Session* s = f.session;
  if (s == nullptr) return;
  if (hit_test(f, ui, v.gfx, p).target == target::plot) {
    const int steps = std::max(1, std::abs(delta) / kNotch);
    for (int i = 0; i < steps; ++i) s->lab.series.zoom_span(delta);
    v.app.host().request_repaint();
    return;
  }
  input::scroll_log_by(v.app, *s, -static_cast<double>(delta) / kNotch * kLinesPerNotch);
}

}  // namespace lw
