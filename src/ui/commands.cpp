#include "ui/commands.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "app/menu_commands.h"
#include "app/tab_commands.h"
#include "serial/settings_text.h"
#include "settings/values.h"
#include "ui/dialog.h"
#include "ui/frame.h"
#include "ui/hit_test.h"
#include "ui/menus.h"
#include "ui/text_edit.h"
#include "ui/ui_state.h"

namespace lw {

namespace {

constexpr float kDropItem = 26;
constexpr float kDropSeparator = 9;
constexpr float kDropPad = 4;
constexpr float kDropMinWidth = 150;
constexpr float kDropCheckRoom = 30;  // the check mark left of the label

// The presets, a separator, then "Custom…".
std::vector<std::string> baud_items(const Session& s) {
  std::vector<std::string> items;
  for (uint32_t b : kBaudPresets) items.push_back(std::to_string(b));
  items.emplace_back();
  items.push_back(custom_baud_label(s.settings.baud));
  return items;
}

// Under the baud field and its arrow, moved up when the window is short.
void place_dropdown(DropDown& d, const Rect& anchor, Gfx& gfx, const WindowLayout& l) {
  const float s = l.scale;
  float widest = 0;
  for (const std::string& item : d.items)
    widest = std::max(widest, gfx.measure_text(item, TextFormat::normal));
  const float w =
      std::max({dip(kDropMinWidth, s), anchor.w, std::ceil(widest) + dip(kDropCheckRoom + 16, s)});
  float h = 2 * dip(kDropPad, s);
  for (const std::string& item : d.items) h += dip(item.empty() ? kDropSeparator : kDropItem, s);
  float y = anchor.bottom() + dip(4, s);
  if (y + h > l.height - dip(4, s)) y = std::max(0.0f, l.height - dip(4, s) - h);
  const float x = std::clamp(anchor.x, 0.0f, std::max(0.0f, l.width - w));
  d.panel = {std::round(x), std::round(y), w, h};
  d.item_rects.clear();
  float at = d.panel.y + dip(kDropPad, s);
  for (const std::string& item : d.items) {
    const float ih = dip(item.empty() ? kDropSeparator : kDropItem, s);
    d.item_rects.push_back({d.panel.x, at, d.panel.w, ih});
    at += ih;
  }
}

void open_baud_dropdown(View v, const Session& s) {
  const UiFrame f = build_frame(v.app, v.gfx, v.width, v.height);
  const Widget* presets = f.find(cmd::baud_presets);
  if (presets == nullptr) return;
  Rect anchor = presets->rect;
  if (const Widget* field = f.find(cmd::baud_field)) {
    anchor = {field->rect.x, field->rect.y, presets->rect.right() - field->rect.x, presets->rect.h};
  }
  DropDown d;
  d.owner = cmd::baud_presets;
  d.items = baud_items(s);
  place_dropdown(d, anchor, v.gfx, f.layout);
  ui_state(v.app).dropdown = std::move(d);
  v.app.host().request_repaint();
}

void choose_dropdown_item(App& app, size_t index) {
  UiState& ui = ui_state(app);
  if (!ui.dropdown) return;
  const DropDown d = std::move(*ui.dropdown);
  ui.dropdown.reset();
  app.host().request_repaint();
  Session* s = app.state().current_session();
  if (s == nullptr || d.owner != cmd::baud_presets || index >= d.items.size()) return;
  if (index < kBaudPresets.size()) {
    set_baud(app, *s, kBaudPresets[index]);
  } else if (index + 1 == d.items.size()) {
    // "Custom…": the rate is typed into the baud field.
    ui.baud_field.set_utf8(std::to_string(s->settings.baud));
    select_all(ui.baud_field);
    ui.focus = Focus::baud;
  }
}

// Popups open under what was clicked, else at the click.
Point popup_point(View v, Hit hit, Point p) {
  const UiFrame f = build_frame(v.app, v.gfx, v.width, v.height);
  if (const std::optional<Rect> r = hit_rect(f, hit)) return {r->x, r->bottom()};
  return p;
}

// What an overflow menu calls a widget: its label, or what its tooltip says
// when the label is no name (none, or the alert count).
std::string menu_label(const Widget& w) {
  return w.label.empty() || w.id == cmd::alerts ? w.tooltip : w.label;
}

bool is_toggle(int id) {
  switch (id) {
    case cmd::dtr:
    case cmd::rts:
    case cmd::record:
    case cmd::values_csv:
    case cmd::matching_only:
    case cmd::graph:
    case cmd::hex_send:
    case cmd::let_go:
      return true;
    default:
      return false;
  }
}

// The widgets a bar had no room for, as a menu; a choice is a click on the
// widget (a drop-down's popup opens where the menu was).
void show_overflow_menu(View v, size_t bar, Point at) {
  const UiFrame f = build_frame(v.app, v.gfx, v.width, v.height);
  if (bar >= f.overflow.size() || f.overflow[bar].empty()) return;
  const std::vector<Widget> moved = f.overflow[bar];
  std::vector<MenuItem> items;
  for (size_t i = 0; i < moved.size(); ++i) {
    const Widget& w = moved[i];
    items.push_back({static_cast<int>(i + 1), menu_label(w), is_toggle(w.id) && w.active, {}});
  }
  const std::optional<int> id = show_popup(v.app, items, at);
  if (!id || *id < 1 || static_cast<size_t>(*id) > moved.size()) return;
  const Widget& w = moved[static_cast<size_t>(*id - 1)];
  run_click(v, Hit{w.id, w.index}, at);
}

// The commands that need the selected tab.
void run_tab_click(View v, Session& s, Hit hit, Point p) {
  App& app = v.app;
  UiState& ui = ui_state(app);
  switch (hit.target) {
    case target::jump_to_bottom:
      jump_to_bottom(app, s);
      break;
    case target::legend_chip:
      toggle_series_visible(app, s, hit.index);
      break;
    case cmd::baud_presets:
      open_baud_dropdown(v, s);
      break;
    case cmd::baud_field:
      ui.focus = Focus::baud;
      app.host().request_repaint();
      break;
    case cmd::search_field:
      ui.focus = Focus::search;
      app.host().request_repaint();
      break;
    case cmd::send_field:
      ui.focus = Focus::send;
      app.host().request_repaint();
      break;
    case cmd::frame_setting:
    case cmd::replay_speed:
    case cmd::stamp_mode:
    case cmd::line_ending:
    case cmd::presets:
    case cmd::repeat:
    case cmd::alerts:
    case cmd::graph_span:
    case cmd::graph_stats:
      show_widget_menu(app, hit.target, popup_point(v, hit, p));
      break;
    case cmd::dtr:
      toggle_dtr(app, s);
      break;
    case cmd::rts:
      toggle_rts(app, s);
      break;
    case cmd::open_close:
      open_close_port(app, s);
      break;
    case cmd::let_go:
      let_go_or_take_back(app, s);
      break;
    case cmd::record:
      app.toggle_record(s);
      break;
    case cmd::text_hex:
      set_hex_view(app, s, hit.index == 1);
      break;
    case cmd::clear_search:
      ui.search_field.set_text({});
      app.host().stop_timer(kTimerSearch);
      stop_searching(app);
      break;
    case cmd::matching_only:
      toggle_matching_only(app, s);
      break;
    case cmd::clear_log:
      clear_tab_log(app, s);
      break;
    case cmd::copy_lines:
      copy_tab_lines(app, s);
      break;
    case cmd::save_log:
      before_modal(app);
      save_tab_log(app, s);
      break;
    case cmd::hex_send:
      toggle_hex_send(app, s);
      break;
    case cmd::send:
      app.send_box_enter(s);
      break;
    case cmd::graph:
      toggle_graph(app, s);
      break;
    case cmd::graph_pause:
      toggle_graph_pause(app, s);
      break;
    case cmd::values_csv:
      toggle_tab_values_csv(app, s);
      break;
    case cmd::note:
      open_dialog(app, DialogKind::note);
      break;
    case cmd::overflow:
      show_overflow_menu(v, hit.index, popup_point(v, hit, p));
      break;
    default:
      break;
  }
}

}  // namespace

void run_click(View v, Hit hit, Point p) {
  App& app = v.app;
  UiState& ui = ui_state(app);
  if (ui.dialog) {
    // Callers that hit-tested without a Gfx could not find the buttons.
    if (hit.target == target::nothing) {
      const DialogGeometry g = dialog_geometry(v.gfx, v.width, v.height, v.gfx.scale());
      if (g.ok.contains(p)) hit = {target::dialog_ok, 0};
      if (g.cancel.contains(p)) hit = {target::dialog_cancel, 0};
    }
    if (hit.target == target::dialog_ok) close_dialog(app, true);
    if (hit.target == target::dialog_cancel) close_dialog(app, false);
    return;
  }
  if (hit.target == target::dropdown_item) {
    choose_dropdown_item(app, hit.index);
    return;
  }
  if (hit.target == target::dropdown_panel) return;
  // A click anywhere else closes an open drop-down; on its own button that
  // is all it does.
  if (ui.dropdown) {
    const int owner = ui.dropdown->owner;
    ui.dropdown.reset();
    app.host().request_repaint();
    if (owner == hit.target) return;
  }
  AppState& state = app.state();
  switch (hit.target) {
    case target::nothing:
      return;
    case target::menu_button:
      show_main_menu(app, popup_point(v, hit, p));
      return;
    case target::port_row:
      if (hit.index < state.ports.size()) {
        const PortInfo port = state.ports[hit.index];
        app.open_tab(port);
      }
      return;
    case target::auto_open:
      toggle_setting(app, setting::kAutoOpen);
      return;
    case target::open_by_path:
      open_dialog(app, DialogKind::device_path);
      return;
    case target::tab:
      app.select_tab(hit.index);
      return;
    case target::tab_close:
      app.close_tab(hit.index);
      return;
    case target::notice_action:
      app.run_notice_action(hit.index);
      return;
    default:
      break;
  }
  if (Session* s = state.current_session()) run_tab_click(v, *s, hit, p);
}

void copy_selected_lines(App& app) {
  if (Session* s = app.state().current_session()) copy_tab_lines(app, *s);
}

void select_all_lines(App& app) {
  if (Session* s = app.state().current_session()) select_all_tab_lines(app, *s);
}

void clear_log_command(App& app) {
  if (Session* s = app.state().current_session()) clear_tab_log(app, *s);
}

void save_log_command(App& app) {
  Session* s = app.state().current_session();
  if (s == nullptr) return;
  before_modal(app);
  save_tab_log(app, *s);
}

}  // namespace lw
