#include "app/tab_commands.h"

#include "app/session_ops.h"
#include "files/file_names.h"
#include "files/save_log.h"
#include "send/presets.h"
#include "serial/devices.h"
#include "settings/values.h"

namespace lw {

namespace {

void repaint(App& app) { app.host().request_repaint(); }

LogOrigin origin_of(const Session& s) { return LogOrigin{s.port_name, s.description, s.settings}; }

}  // namespace

void apply_port_settings(App& app, Session& s, const PortSettings& settings) {
  s.settings = settings;
  // The reader applies them between reads; a rate the driver refuses ends
  // the connection there.
  if (s.is_open() && s.channel) send_to_port(s, ReaderCommand::apply(settings));
  save_device_settings(app.settings(), s.device_key.empty() ? s.port_name : s.device_key, settings);
  repaint(app);
}

void set_baud(App& app, Session& s, uint32_t baud) {
  PortSettings p = s.settings;
  p.baud = baud;
  apply_port_settings(app, s, p);
}

void set_data_bits(App& app, Session& s, uint8_t data_bits) {
  PortSettings p = s.settings;
  p.data_bits = data_bits;
  apply_port_settings(app, s, p);
}

void set_parity(App& app, Session& s, uint8_t parity) {
  PortSettings p = s.settings;
  p.parity = parity;
  apply_port_settings(app, s, p);
}

void set_stop_bits(App& app, Session& s, uint8_t stop_bits) {
  PortSettings p = s.settings;
  p.stop_bits = stop_bits;
  apply_port_settings(app, s, p);
}

void toggle_dtr(App& app, Session& s) {
  PortSettings p = s.settings;
  p.dtr = !p.dtr;
  apply_port_settings(app, s, p);
}

void toggle_rts(App& app, Session& s) {
  PortSettings p = s.settings;
  p.rts = !p.rts;
  apply_port_settings(app, s, p);
}

void split_at_line_breaks(App& app, Session& s) {
  set_framing(s, std::nullopt, app.state().search_text, app.state().visible_rows);
  repaint(app);
}

void open_close_port(App& app, Session& s) {
  switch (s.state.kind) {
    case ConnectionKind::Open:
    case ConnectionKind::Waiting:  // stops waiting
      app.close_port(s);
      break;
    case ConnectionKind::Disconnected:
      app.reconnect(s.id);
      break;
    case ConnectionKind::Closed:
    case ConnectionKind::Failed:
      app.reopen(s);
      break;
  }
}

void let_go_or_take_back(App& app, Session& s) {
  if (s.is_open()) {
    app.release_port(s);
  } else if (s.is_waiting()) {
    app.take_port_back(s);
  }
}

void set_hex_view(App& app, Session& s, bool hex) {
  if (s.hex_view() == hex) return;
  s.log.set_hex_view(hex, app.state().search_text, app.state().visible_rows);
  repaint(app);
}

void set_stamp_mode(App& app, StampMode mode) {
  app.state().stamp_mode = mode;
  set_stamp_mode(app.settings(), static_cast<uint32_t>(mode));
  repaint(app);
}

void clear_tab_log(App& app, Session& s) {
  s.log.clear();
  s.lab.clear_log();
  repaint(app);
}

void copy_tab_lines(App& app, Session& s) {
  const std::optional<CopiedLines> copied =
      s.log.copy_selection(app.state().stamp_mode, s.opened_at);
  if (!copied) {
    app.show_notice(Notice{select_lines_first_notice(), false, {}});
    return;
  }
  app.host().set_clipboard_text(copied->text);
  app.show_notice(Notice{copied_lines_notice(copied->count), false, {}});
}

void select_all_tab_lines(App& app, Session& s) {
  s.log.select_all();
  repaint(app);
}

void save_tab_log(App& app, Session& s) {
  if (!can_save_log(s.log)) {
    app.show_notice(Notice{no_log_to_save_text(), false, {}});
    return;
  }
  const LogOrigin origin = origin_of(s);
  const uint64_t id = s.id;
  const std::optional<SaveChoice> choice = app.host().choose_save_file(
      save_dialog_setup(origin, app.state().log_folder, app.host().clock().local_now()));
  if (!choice) return;
  // The dialog is modal, but the tab may have gone while it was open.
  Session* tab = app.state().find_session(id);
  if (tab == nullptr) return;
  const SaveLogResult r = save_log(tab->log, origin_of(*tab), choice->path, choice->type_index);
  Notice notice{r.notice, r.error, {}};
  if (r.saved) {
    notice.actions = {{NoticeAction::Kind::OpenFile, r.path, 0},
                      {NoticeAction::Kind::OpenFolder, r.path, 0}};
  }
  app.show_notice(std::move(notice));
}

void jump_to_bottom(App& app, Session& s) {
  s.log.jump_to_bottom(app.state().visible_rows);
  repaint(app);
}

void toggle_matching_only(App& app, Session& s) {
  s.log.set_matching_only(!s.log.matching_only(), app.state().search_text,
                          app.state().visible_rows);
  repaint(app);
}

void stop_searching(App& app) {
  AppState& state = app.state();
  state.search_text.clear();
  for (auto& s : state.sessions) {
    if (s->log.matching_only()) s->log.set_matching_only(false, {}, state.visible_rows);
  }
  repaint(app);
}

void toggle_graph(App& app, Session& s) {
  s.lab.series.toggle_graph();
  repaint(app);
}

void toggle_graph_pause(App& app, Session& s) {
  s.lab.series.toggle_pause(app.host().clock().local_now());
  repaint(app);
}

void set_graph_span(App& app, Session& s, Millis span) {
  s.lab.series.set_span(span);
  repaint(app);
}

void set_stats_mode(App& app, Session& s, StatsChoice choice) {
  s.lab.series.set_stats_mode(choice);
  repaint(app);
}

void toggle_series_visible(App& app, Session& s, size_t series) {
  if (series >= s.lab.series.series().size()) return;
  s.lab.series.toggle_series_visible(series);
  repaint(app);
}

void toggle_tab_values_csv(App& app, Session& s) {
  if (!app.state().lab) return;
  app.show_notice(
      toggle_values_csv(*app.state().lab, s.lab, file_base(s.port_name, s.description)));
  repaint(app);
}

void toggle_alert_save(App& app, size_t rule) {
  if (!app.state().lab || rule >= app.state().lab->alerts().rules().size()) return;
  app.state().lab->alerts().toggle_save_log_around(rule);
  repaint(app);
}

void toggle_alert_sound(App& app, size_t rule) {
  if (!app.state().lab || rule >= app.state().lab->alerts().rules().size()) return;
  app.state().lab->alerts().toggle_play_sound(rule);
  repaint(app);
}

void remove_alert_rule(App& app, size_t rule) {
  if (!app.state().lab || rule >= app.state().lab->alerts().rules().size()) return;
  app.state().lab->alerts().remove_alert(rule);
  repaint(app);
}

void set_send_ending(App& app, Session& s, EndingChoice ending) {
  set_line_ending(s.send, app.settings(), ending);
  repaint(app);
}

void toggle_hex_send(App& app, Session& s) {
  s.send.hex_mode = !s.send.hex_mode;
  repaint(app);
}

void add_command_preset(App& app, std::string_view text) {
  std::vector<std::string> presets = load_presets(app.settings());
  if (std::optional<std::string> notice = add_preset(presets, app.settings(), text)) {
    app.show_notice(Notice{*notice, false, {}});
  }
  repaint(app);
}

void remove_command_preset(App& app, std::string_view text) {
  std::vector<std::string> presets = load_presets(app.settings());
  remove_preset(presets, app.settings(), text);
  repaint(app);
}

}  // namespace lw
