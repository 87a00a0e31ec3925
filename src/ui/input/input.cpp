// The pointer's hover and tooltip, the window's two timers, and what the
// mouse and keyboard handling share.
#include "ui/input/input.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/utf8.h"
#include "ui/dialog.h"
#include "ui/geometry.h"
#include "ui/hit_test.h"
#include "ui/input/input_shared.h"
#include "ui/text_edit.h"

namespace lw {

namespace input {

double max_scroll(const Session& s, size_t visible_rows) {
  const size_t shown = s.log.shown_count();
  return shown > visible_rows ? static_cast<double>(shown - visible_rows) : 0.0;
}

void scroll_log_to(App& app, Session& s, double scroll) {
  const double top = max_scroll(s, app.state().visible_rows);
  const double next = std::clamp(scroll, 0.0, top);
  s.log.set_scroll(next);
  s.log.set_follow(next >= top - 0.01);
  app.host().request_repaint();
}

void scroll_log_by(App& app, Session& s, double lines) {
  scroll_log_to(app, s, s.log.scroll() + lines);
}

std::optional<size_t> row_at(const UiFrame& f, const Session& s, float y) {
  const size_t shown = s.log.shown_count();
  if (shown == 0) return std::nullopt;
  const float row_h = std::max(1.0f, log_row_height(f.layout.scale));
  const double at = std::max(0.0, s.log.scroll()) + static_cast<double>(y - f.log.y) / row_h;
  if (at < 0) return 0;
  return std::min(static_cast<size_t>(std::floor(at)), shown - 1);
}

TextInput& send_input(UiState& ui, Session& s) {
  TextInput& field = ui.send_field(s.id);
  if (utf8_from_utf32(field.text) != s.send_box) field.set_utf8(s.send_box);
  return field;
}

std::optional<FocusedField> focused_field(View v, const UiFrame& f) {
  UiState& ui = ui_state(v.app);
  const auto on_widget = [&](int id, TextInput& input,
                             FieldKind kind) -> std::optional<FocusedField> {
    const Widget* w = f.find(id);
    if (w == nullptr) return std::nullopt;
    return FocusedField{&input, kind, w->rect};
  };
  switch (ui.focus) {
    case Focus::none:
      return std::nullopt;
    case Focus::search:
      return on_widget(cmd::search_field, ui.search_field, FieldKind::search);
    case Focus::baud:
      return on_widget(cmd::baud_field, ui.baud_field, FieldKind::baud);
    case Focus::send:
      if (f.session == nullptr) return std::nullopt;
      return on_widget(cmd::send_field, send_input(ui, *f.session), FieldKind::send);
    case Focus::dialog:
      if (!ui.dialog) return std::nullopt;
      return FocusedField{&ui.dialog->field, FieldKind::dialog,
                          dialog_geometry(v.gfx, v.width, v.height, v.gfx.scale()).field};
  }
  return std::nullopt;
}

void focus_field(View v, Focus focus) {
  UiState& ui = ui_state(v.app);
  if (focus == Focus::baud && ui.focus != Focus::baud) {
    if (const Session* s = v.app.state().current_session()) {
      ui.baud_field.set_utf8(std::to_string(s->settings.baud));
    }
  }
  ui.focus = focus;
  v.app.host().request_repaint();
}

void field_edited(View v, FieldKind kind) {
  UiState& ui = ui_state(v.app);
  switch (kind) {
    case FieldKind::send:
      if (Session* s = v.app.state().current_session()) {
        s->send_box = utf8_from_utf32(ui.send_field(s->id).text);
        s->send.history.reset_cursor();
      }
      break;
    case FieldKind::search:
      v.app.host().start_timer(kTimerSearch, kSearchDelayMs);
      break;
    case FieldKind::baud:
    case FieldKind::dialog:
      break;
  }
  v.app.host().request_repaint();
}

void place_ime(View v, const FocusedField& field) {
  const Point at = ime_point(*field.input, field.kind, field.widget, v.gfx);
  v.app.host().place_ime(at.x, at.y);
}

}  // namespace input

void apply_search_text(App& app) {
  app.host().stop_timer(kTimerSearch);
  AppState& state = app.state();
  std::string text = normalize_search_text(utf8_from_utf32(ui_state(app).search_field.text));
  if (text == state.search_text) return;
  state.search_text = std::move(text);
  for (const auto& s : state.sessions) {
    if (s->log.matching_only()) s->log.rebuild_filter(state.search_text);
  }
  if (Session* s = state.current_session()) s->log.settle_scroll(state.visible_rows);
  app.host().request_repaint();
}

void on_mouse_move(View v, Point p) {
  UiState& ui = ui_state(v.app);
  ui.mouse = p;
  const UiFrame f = input::frame_of(v);
  if (ui.drag != Drag::none) input::drag_to(v, f, p);
  const Hit hit = hit_test(f, ui, v.gfx, p);
  if (hit != ui.hover) {
    ui.hover = hit;
    ui.hover_since_ms = v.app.host().clock().monotonic_ms();
    ui.tooltip_shown = false;
    v.app.host().start_timer(kTimerTooltip, kTooltipDelayMs);
    v.app.host().request_repaint();
  } else if (hit.target == target::plot) {
    v.app.host().request_repaint();  // the readout follows the pointer
  }
}

void on_mouse_leave(View v) {
  UiState& ui = ui_state(v.app);
  ui.mouse.reset();
  ui.hover = {};
  ui.tooltip_shown = false;
  v.app.host().stop_timer(kTimerTooltip);
  v.app.host().request_repaint();
}

bool on_window_timer(View v, int id) {
  Host& host = v.app.host();
  if (id == kTimerSearch) {
    apply_search_text(v.app);
    return true;
  }
  if (id != kTimerTooltip) return false;
  host.stop_timer(kTimerTooltip);
  UiState& ui = ui_state(v.app);
  if (!ui.mouse || ui.tooltip_shown || ui.drag != Drag::none) return true;
  const UiFrame f = input::frame_of(v);
  const Hit hit = hit_test(f, ui, v.gfx, *ui.mouse);
  if (hit != ui.hover || tooltip_text(f, hit).empty()) return true;
  const int64_t waited = host.clock().monotonic_ms() - ui.hover_since_ms;
  if (waited < kTooltipDelayMs) {
    // Fired early: wait for the rest.
    host.start_timer(kTimerTooltip, static_cast<int>(kTooltipDelayMs - waited));
    return true;
  }
  ui.tooltip_shown = true;
  host.request_repaint();
  return true;
}

}  // namespace lw
