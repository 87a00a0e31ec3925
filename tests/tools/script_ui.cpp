#include "script_ui.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>

#include "base/utf8.h"
#include "log/display.h"
#include "ui/dialog.h"
#include "ui/frame.h"
#include "ui/geometry.h"
#include "ui/hit_test.h"
#include "ui/ui_state.h"

namespace lw::script {

namespace {

const std::map<std::string, int>& target_names() {
  static const std::map<std::string, int> names = {
      {"menu_button", target::menu_button},
      {"auto_open", target::auto_open},
      {"port_row", target::port_row},
      {"tab", target::tab},
      {"tab_close", target::tab_close},
      {"open_by_path", target::open_by_path},
      {"log_rows", target::log_rows},
      {"scroll_bar", target::scroll_bar},
      {"jump_to_bottom", target::jump_to_bottom},
      {"dropdown_item", target::dropdown_item},
      {"legend_chip", target::legend_chip},
      {"plot", target::plot},
      {"dialog_ok", target::dialog_ok},
      {"dialog_cancel", target::dialog_cancel},
      {"notice_action", target::notice_action},
      {"baud_presets", cmd::baud_presets},
      {"baud_field", cmd::baud_field},
      {"frame_setting", cmd::frame_setting},
      {"replay_speed", cmd::replay_speed},
      {"dtr", cmd::dtr},
      {"rts", cmd::rts},
      {"open_close", cmd::open_close},
      {"let_go", cmd::let_go},
      {"record", cmd::record},
      {"text_hex", cmd::text_hex},
      {"stamp_mode", cmd::stamp_mode},
      {"search_field", cmd::search_field},
      {"clear_search", cmd::clear_search},
      {"matching_only", cmd::matching_only},
      {"clear_log", cmd::clear_log},
      {"copy_lines", cmd::copy_lines},
      {"save_log", cmd::save_log},
      {"send_field", cmd::send_field},
      {"line_ending", cmd::line_ending},
      {"hex_send", cmd::hex_send},
      {"send", cmd::send},
      {"graph", cmd::graph},
      {"values_csv", cmd::values_csv},
      {"note", cmd::note},
      {"alerts", cmd::alerts},
      {"presets", cmd::presets},
      {"repeat", cmd::repeat},
      {"graph_span", cmd::graph_span},
      {"graph_pause", cmd::graph_pause},
      {"graph_stats", cmd::graph_stats},
  };
  return names;
}

std::optional<long long> number(const std::string& word) {
  long long n = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), n);
  if (ec != std::errc{} || end != word.data() + word.size()) return std::nullopt;
  return n;
}

Point centre(const Rect& r) { return {r.x + r.w / 2, r.y + r.h / 2}; }

const char* focus_name(Focus f) {
  switch (f) {
    case Focus::none:
      return "none";
    case Focus::send:
      return "send";
    case Focus::search:
      return "search";
    case Focus::baud:
      return "baud";
    case Focus::dialog:
      return "dialog";
  }
  return "?";
}

}  // namespace

std::optional<Point> point_of(View v, std::span<const std::string> words, std::string& error) {
  if (words.empty()) {
    error = "a point is X Y or a target name";
    return std::nullopt;
  }
  if (const auto x = number(words[0])) {
    const auto y = words.size() > 1 ? number(words[1]) : std::nullopt;
    if (!y) {
      error = "a point needs X and Y";
      return std::nullopt;
    }
    return Point{static_cast<float>(*x), static_cast<float>(*y)};
  }
  const auto it = target_names().find(words[0]);
  if (it == target_names().end()) {
    error = "no target named " + words[0];
    return std::nullopt;
  }
  const int target = it->second;
  size_t index = 0;
  const UiFrame f = build_frame(v.app, v.gfx, v.width, v.height);
  if (words.size() > 1) {
    if (const auto n = number(words[1])) {
      index = static_cast<size_t>(*n);
    } else if (target == target::port_row) {
      const auto& ports = v.app.state().ports;
      const auto p = std::find_if(ports.begin(), ports.end(),
                                  [&](const PortInfo& port) { return port.name == words[1]; });
      if (p == ports.end()) {
        error = "no port " + words[1] + " in the list";
        return std::nullopt;
      }
      index = static_cast<size_t>(p - ports.begin());
    }
  }
  const UiState& ui = ui_state(v.app);
  std::optional<Point> at;
  switch (target) {
    case target::log_rows: {
      const float row_h = log_row_height(f.layout.scale);
      if (f.session != nullptr)
        at = Point{f.log.x + f.log.w / 3, f.log.y + (static_cast<float>(index) + 0.5f) * row_h};
      break;
    }
    case target::dropdown_item:
      if (ui.dropdown && index < ui.dropdown->item_rects.size())
        at = centre(ui.dropdown->item_rects[index]);
      break;
    case target::dialog_ok:
    case target::dialog_cancel:
      if (ui.dialog) {
        const DialogGeometry g = dialog_geometry(v.gfx, v.width, v.height, v.gfx.scale());
        at = centre(target == target::dialog_ok ? g.ok : g.cancel);
      }
      break;
    case cmd::clear_search:
      if (const Widget* w = f.find(cmd::search_field))
        at = Point{w->rect.right() - 10 * f.layout.scale, w->rect.y + w->rect.h / 2};
      break;
    default:
      if (const std::optional<Rect> r = hit_rect(f, Hit{target, index})) at = centre(*r);
      break;
  }
  if (!at) error = "nothing on screen for " + words[0];
  return at;
}

std::optional<Key> key_named(const std::string& name) {
  static const std::map<std::string, Key> keys = {
      {"enter", Key::enter},
      {"esc", Key::escape},
      {"escape", Key::escape},
      {"tab", Key::tab},
      {"backspace", Key::backspace},
      {"delete", Key::del},
      {"left", Key::left},
      {"right", Key::right},
      {"up", Key::up},
      {"down", Key::down},
      {"home", Key::home},
      {"end", Key::end},
      {"pageup", Key::page_up},
      {"pagedown", Key::page_down},
      {"f3", Key::f3},
      {"a", Key::a},
      {"c", Key::c},
      {"f", Key::f},
      {"m", Key::m},
      {"s", Key::s},
      {"v", Key::v},
      {"w", Key::w},
      {"x", Key::x},
      {"l", Key::l},
  };
  const auto it = keys.find(name);
  if (it == keys.end()) return std::nullopt;
  return it->second;
}

void print_rows(std::ostream& out, View v) {
  const UiFrame f = build_frame(v.app, v.gfx, v.width, v.height);
  const Session* s = f.session;
  if (s == nullptr) {
    out << "rows: no tab\n";
    return;
  }
  const AppState& state = v.app.state();
  const size_t shown = s->log.shown_count();
  const auto first = static_cast<size_t>(std::floor(std::max(0.0, s->log.scroll())));
  out << "rows: " << first << " of " << shown << "\n";
  const std::optional<Selection>& sel = s->log.selection();
  for (size_t row = first; row < shown && row < first + f.rows_fit; ++row) {
    const uint64_t line = s->log.absolute_of_row(row);
    const bool selected = sel && line >= std::min(sel->anchor, sel->caret) &&
                          line <= std::max(sel->anchor, sel->caret);
    out << (selected ? "* " : "  ")
        << copy_text(s->log.shown_record(row), s->hex_view() || s->framing.has_value(),
                     state.stamp_mode, s->opened_at)
        << "\n";
  }
}

void print_view(std::ostream& out, View v) {
  const UiFrame f = build_frame(v.app, v.gfx, v.width, v.height);
  const AppState& state = v.app.state();
  const UiState& ui = ui_state(v.app);
  out << "view:";
  if (const Session* s = f.session) {
    const size_t shown = s->log.shown_count();
    const size_t max = shown > f.rows_fit ? shown - f.rows_fit : 0;
    out << " scroll=" << s->log.scroll() << " max=" << max << " follow=" << s->log.follow()
        << " shown=" << shown << " matching_only=" << s->log.matching_only();
    if (const auto& sel = s->log.selection()) {
      out << " selection=" << sel->anchor << ".." << sel->caret;
    }
    out << " graph=" << s->lab.series.graph_shown() << " span=" << s->lab.series.span_millis();
  }
  out << " search=\"" << state.search_text << "\" focus=" << focus_name(ui.focus) << "\n";
}

void print_field(std::ostream& out, View v) {
  UiState& ui = ui_state(v.app);
  const TextInput* input = nullptr;
  switch (ui.focus) {
    case Focus::none:
      break;
    case Focus::send:
      if (const Session* s = v.app.state().current_session()) {
        const auto it = ui.send_fields.find(s->id);
        if (it != ui.send_fields.end()) input = &it->second;
      }
      break;
    case Focus::search:
      input = &ui.search_field;
      break;
    case Focus::baud:
      input = &ui.baud_field;
      break;
    case Focus::dialog:
      if (ui.dialog) input = &ui.dialog->field;
      break;
  }
  out << "field " << focus_name(ui.focus);
  if (input != nullptr) {
    out << ": \"" << utf8_from_utf32(input->text) << "\" caret=" << input->caret;
    if (input->has_selection())
      out << " selected=" << input->selection_start() << ".." << input->selection_end();
  }
  out << "\n";
}

void print_notice(std::ostream& out, const AppState& state) {
  if (!state.notice) {
    out << "notice: none\n";
    return;
  }
  out << "notice: " << state.notice->notice.text << (state.notice->notice.error ? " [error]" : "");
  for (const auto& act : state.notice->notice.actions) {
    out << (act.kind == NoticeAction::Kind::OpenFile     ? " [Open]"
            : act.kind == NoticeAction::Kind::OpenFolder ? " [Open folder]"
            : act.kind == NoticeAction::Kind::OpenPage   ? " [Open the download page]"
                                                         : " [Reconnect]");
  }
  out << "\n";
}

void print_menu(std::ostream& out, const std::vector<MenuItem>& items, int depth) {
  const std::string indent(static_cast<size_t>(2 + depth * 2), ' ');
  for (const MenuItem& item : items) {
    if (item.label.empty() && item.items.empty()) {
      out << indent << "---\n";
      continue;
    }
    out << indent << item.id << " " << (item.checked ? "[x] " : "") << item.label << "\n";
    if (!item.items.empty()) print_menu(out, item.items, depth + 1);
  }
}

void print_tooltip(std::ostream& out, View v) {
  const UiState& ui = ui_state(v.app);
  if (!ui.tooltip_shown) {
    out << "tooltip: none\n";
    return;
  }
  const UiFrame f = build_frame(v.app, v.gfx, v.width, v.height);
  out << "tooltip: " << tooltip_text(f, ui.hover) << "\n";
}

}  // namespace lw::script
