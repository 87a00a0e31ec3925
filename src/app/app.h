#pragma once
// The application: start-up, the timers and posted messages, opening and
// closing tabs, the drain of every reader, hot-plug and reconnect, and the
// disconnect handling. Runs on the window thread only.
#include <filesystem>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/host.h"
#include "app/session_ops.h"
#include "app/update_service.h"
#include "session/port.h"
#include "settings/settings.h"

namespace lw {

class Simulator;

// A lost network port is tried again this long after the loss or the last
// failed try (on the 2-second tick, so every 4 s in practice).
inline constexpr int64_t kNetRetryMs = 3'000;

class App {
 public:
  // simulator: the simulated devices in demo mode, else null.
  App(Host& host, Settings& settings, PortSystem& ports, AppOptions options, Simulator* simulator);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Start-up after the window exists: settings, the first port scan (no
  // notices, no badges), timers 3 and 6.
  void start();
  // The window is closing: every reader is told to close and given a short
  // while to stop, recordings and values files are flushed and closed.
  void shut_down();

  // The self-update; without one, "Check for updates" does nothing.
  void set_update_service(std::unique_ptr<UpdateService> service);
  // Start-up step after the window is shown: the daily update check.
  void start_daily_update_check();
  // The main menu's "Check for updates".
  void check_for_updates();

  // --- events ---
  void on_timer(int id);
  // False when the message is not the application's (30 to 32 outside
  // demo mode): the host passes it to the default handling.
  bool on_message(const AppMessage& msg);
  // A device-change event: rescan 300 ms after the last of a burst.
  void on_device_change();

  // --- commands ---
  // Opens a new tab on a listed port, or selects the tab already on it (on
  // its name, or on another entry that leads to the same device file).
  Session& open_tab(const PortInfo& port);
  // "Open a device by path…" and --port: a port the list has is opened as
  // its row would be; any other address gets a tab of its own, and when it
  // names a serial device (it opened, or only another program holds it) it
  // joins the list and is remembered. A text that is no address is an
  // error notice.
  void open_address(std::string_view typed);
  // The tab's Open button (after Close or a failure).
  void reopen(Session& s);
  // The tab's Close button: the port closes, the tab stays.
  void close_port(Session& s);
  // The tab's cross: the tab goes away.
  void close_tab(size_t index);
  // "Let another program use the port": the port closes, everything else of
  // the tab stays, and the tab waits to open it again by itself.
  void release_port(Session& s);
  // A waiting tab tries to open its port now.
  void take_port_back(Session& s);
  void select_tab(size_t index);
  // The "Reconnect" action of a notice.
  void reconnect(uint64_t session_id);
  // A notice's action button.
  void run_notice_action(size_t index);
  void show_notice(Notice notice);

  // --- sending ---
  // Enter in the send box of a tab.
  void send_box_enter(Session& s);
  // Sends one text with the tab's hex mode and ending; false when it failed
  // (the notice says why).
  bool send_line(Session& s, std::string_view text);
  // The repeat menu: the box's text or sequence every interval_ms, `times`
  // times (0: until stopped).
  void start_repeat(Session& s, uint32_t interval_ms, uint32_t times);
  void stop_repeat(Session& s);
  void send_preset(Session& s, std::string_view text);
  // The tab's "Record" toggle.
  void toggle_record(Session& s);

  // --- replays and files ---
  // Opens a tab replaying a log file, or selects the tab already replaying
  // it (started over when it was closed); null, with a notice, when the
  // file can't be read.
  Session* open_replay_tab(const std::filesystem::path& file);
  void set_replay_speed(Session& s, ReplaySpeed speed);
  // Sends a file to the tab's port, a piece per tick of timer 8, or says
  // why it can't.
  void send_file(Session& s, const std::filesystem::path& file);
  // Ends a file being sent; what was handed to the port still goes.
  void stop_sending(Session& s);

  // --- the pieces other parts call ---
  void rescan();
  void on_disconnect(Session& s);
  void drain(Session& s);
  void drain_all();
  // Appends a record to a tab's log and its recording (Session::append with
  // the current search text).
  void append_line(Session& s, LineRecord record);
  void append_mark(Session& s, std::string_view text, Millis at);

  AppState& state() { return state_; }
  Host& host() { return host_; }
  Settings& settings() { return settings_; }
  bool demo_mode() const { return simulator_ != nullptr; }

 private:
  class DrainPass;
  OpenContext open_context();
  Session& add_session(const PortInfo& port);
  // What the system lists, then the added ports that are there.
  std::vector<PortInfo> scan_ports();
  // The remembered addresses and those of the tabs, oldest first.
  std::vector<PortAddress> added_addresses();
  // The tab on the port's name, else on another listed entry with the same
  // device file.
  Session* tab_for(const PortInfo& port);
  // An added port that turned out to be a serial device: listed, remembered.
  void keep_added(Session& s);
  // Every 2 s: the added ports that came, went or lead elsewhere now get the
  // rescan that their file system, unlike the device manager, never asks for.
  void watch_added_ports();
  void housekeeping();
  // A network port's link came up or could not be made (net_ports.cpp).
  void network_link_outcome(Session& s, const DrainOutcome& d);
  // Every 2 s: lost network tabs whose next try is due connect again.
  void retry_network_ports();
  // After a network tab lost its link, or a try failed: the next try.
  void schedule_retry(Session& s);
  void repeat_tick();
  void keep_repeat_timer();
  // Timer 9: looks at the ports of waiting tabs and opens those that are free.
  void watch_ports();
  // Timer 9 runs while any tab waits.
  void keep_watch_timer();
  void demo_message(const AppMessage& msg);
  void replay_progress(Session& s);
  void sending_tick();
  void keep_sending_timer();
  // Keeps a channel whose reader was told to close until the reader stops,
  // so no reader outlives the App and what it refers to.
  void let_go(std::shared_ptr<ReaderChannel> channel);
  void stop_readers(int timeout_ms);

  Host& host_;
  Settings& settings_;
  PortSystem& ports_;
  AppOptions options_;
  Simulator* simulator_;
  AppState state_;
  std::unique_ptr<DrainPass> pass_;
  bool repeat_timer_on_ = false;
  bool sending_timer_on_ = false;
  bool watch_timer_on_ = false;
  std::vector<std::shared_ptr<ReaderChannel>> stopping_;
  std::unique_ptr<UpdateService> updates_;
};

}  // namespace lw
