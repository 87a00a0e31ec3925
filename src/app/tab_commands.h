#pragma once
// The commands of a tab's bars and popups that change the application: the
// port settings, the log view, the graph, the values CSV, alerts, presets
// and the send bar's switches. The window's clicks and menus call these;
// they run without a window, so tests call them directly.
#include <cstdint>
#include <string_view>

#include "app/app.h"
#include "lab/series.h"
#include "log/display.h"
#include "send/line_ending.h"

namespace lw {

// --- port settings ---
// Takes the new settings for the tab, tells an open port at once and keeps
// them for the device.
void apply_port_settings(App& app, Session& s, const PortSettings& settings);
void set_baud(App& app, Session& s, uint32_t baud);
void set_data_bits(App& app, Session& s, uint8_t data_bits);
void set_parity(App& app, Session& s, uint8_t parity);
void set_stop_bits(App& app, Session& s, uint8_t stop_bits);
void toggle_dtr(App& app, Session& s);
void toggle_rts(App& app, Session& s);
// Receive at line breaks again (no fixed-length frames).
void split_at_line_breaks(App& app, Session& s);
// The Open / Close / Reconnect button, as its label says.
void open_close_port(App& app, Session& s);
// "Let go": lets another program use an open port; a tab waiting for its
// port takes it back at once.
void let_go_or_take_back(App& app, Session& s);

// --- the log view ---
void set_hex_view(App& app, Session& s, bool hex);
// For every tab; stored for the next start.
void set_stamp_mode(App& app, StampMode mode);
void clear_tab_log(App& app, Session& s);
// The selected lines to the clipboard, with "Copied {0} lines", or the hint
// to select some first.
void copy_tab_lines(App& app, Session& s);
void select_all_tab_lines(App& app, Session& s);
// "Save log…": the system's dialog, then the file as text or CSV.
void save_tab_log(App& app, Session& s);
void jump_to_bottom(App& app, Session& s);
void toggle_matching_only(App& app, Session& s);
// Clear search: no search text, and no tab filters by it any more.
void stop_searching(App& app);

// --- graph ---
void toggle_graph(App& app, Session& s);
void toggle_graph_pause(App& app, Session& s);
void set_graph_span(App& app, Session& s, Millis span);
void set_stats_mode(App& app, Session& s, StatsChoice choice);
void toggle_series_visible(App& app, Session& s, size_t series);

// --- values CSV and alerts ---
void toggle_tab_values_csv(App& app, Session& s);
void toggle_alert_save(App& app, size_t rule);
void toggle_alert_sound(App& app, size_t rule);
void remove_alert_rule(App& app, size_t rule);

// --- send bar ---
void set_send_ending(App& app, Session& s, EndingChoice ending);
void toggle_hex_send(App& app, Session& s);
// Adds the text to the command presets ("Added to the presets").
void add_command_preset(App& app, std::string_view text);
void remove_command_preset(App& app, std::string_view text);

}  // namespace lw
