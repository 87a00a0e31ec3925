#include "app/app.h"

#include <algorithm>
#include <chrono>

#include "app/notices.h"
#include "app/session_ops.h"
#include "app/session_views.h"
#include "base/heap.h"
#include "files/log_folder.h"
#include "lab/alert_saves.h"
#include "ports/port_list.h"
#include "serial/devices.h"
#include "settings/values.h"
#include "sim/simulator.h"

namespace lw {

Session* AppState::find_session(uint64_t id) {
  for (auto& s : sessions) {
    if (s->id == id) return s.get();
  }
  return nullptr;
}

Session* AppState::current_session() {
  return current && *current < sessions.size() ? sessions[*current].get() : nullptr;
}

// Every received record: the measurement pass around the log append.
class App::DrainPass final : public LinePass {
 public:
  explicit DrainPass(App& app) : app_(app) {}
  void received(Session& s, LineRecord&& record) override {
    decode_line_text(record.bytes.span(), text_);
    const ReceivedLine line{s.log.end_absolute(), s.log.dropped(), record.time, text_, s.port_name};
    AlertOutcome outcome = measure_line(*app_.state_.lab, s.lab, line,
                                        [&] { app_.append_line(s, std::move(record)); });
    if (outcome.beep) app_.host_.beep_exclamation();
    if (outcome.notice) app_.show_notice(std::move(*outcome.notice));
  }

 private:
  App& app_;
  std::string text_;  // reused for every line
};

App::App(Host& host, Settings& settings, PortSystem& ports, AppOptions options,
         Simulator* simulator)
    : host_(host),
      settings_(settings),
      ports_(ports),
      options_(std::move(options)),
      simulator_(simulator),
      pass_(std::make_unique<DrainPass>(*this)) {}

// A read returns within its timeout, so readers stop well inside this.
constexpr int kShutdownWaitMs = 5000;

App::~App() { stop_readers(kShutdownWaitMs); }

void App::start() {
  keep_heap_small();
  state_.log_folder = log_folder(options_.docs);
  state_.stamp_mode = stamp_mode_from_value(stamp_mode(settings_));
  state_.lab = std::make_unique<LabApp>(settings_, host_.clock(), state_.log_folder);
  state_.lab->alerts().load_rules();
  // The first list is taken quietly: nothing is new at start-up.
  state_.ports = scan_ports();
  host_.start_timer(kTimerDrain, kDrainPeriodMs);
  host_.start_timer(kTimerHousekeeping, kHousekeepingPeriodMs);
}

void App::shut_down() {
  stop_readers(kShutdownWaitMs);
  for (auto& s : state_.sessions) {
    if (s->recording) s->recording->close();
    s->lab.values_csv.reset();
  }
  state_.lab->shared_csv.reset();
}

void App::let_go(std::shared_ptr<ReaderChannel> channel) {
  if (!channel) return;
  channel->push_command(ReaderCommand::close());
  std::erase_if(stopping_, [](const auto& c) { return c->has_stopped(); });
  stopping_.push_back(std::move(channel));
}

void App::stop_readers(int timeout_ms) {
  for (auto& s : state_.sessions) let_go(std::move(s->channel));
  // Real time, not the host's clock: this waits on real threads.
  using std::chrono::steady_clock;
  const auto deadline = steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (auto& c : stopping_) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady_clock::now());
    if (!c->wait_ended(static_cast<int>(std::max<int64_t>(left.count(), 1)))) break;
  }
  stopping_.clear();
}

void App::set_update_service(std::unique_ptr<UpdateService> service) {
  updates_ = std::move(service);
}

void App::start_daily_update_check() {
  if (updates_) updates_->start_daily_check();
}

void App::check_for_updates() {
  if (updates_) updates_->check_by_user();
}

OpenContext App::open_context() {
  return OpenContext{ports_, host_.clock(),
                     [poster = host_.poster()](uint64_t id) {
                       poster->post(AppMessage{kMsgReaderWake, id, 0});
                     },
                     state_.search_text};
}

void App::on_timer(int id) {
  switch (id) {
    case kTimerNotice:
      notice_timer(state_, host_);
      break;
    case kTimerRescan:
      host_.stop_timer(kTimerRescan);
      rescan();
      break;
    case kTimerDrain:
      drain_all();
      break;
    case kTimerHousekeeping:
      housekeeping();
      break;
    case kTimerRepeat:
      repeat_tick();
      break;
    case kTimerSendFile:
      sending_tick();
      break;
    case kTimerPortWatch:
      watch_ports();
      break;
    default:
      break;
  }
}

bool App::on_message(const AppMessage& msg) {
  switch (msg.number) {
    case kMsgReaderWake:
      // A closed tab's id is simply not found.
      if (Session* s = state_.find_session(msg.param1)) drain(*s);
      return true;
    case kMsgUpdateResult:
    case kMsgUpdateInstall:
      if (updates_) updates_->on_message(msg.number);
      return true;
    case kMsgDemoToggle:
    case kMsgDemoRepeat:
    case kMsgDemoFraming:
    case kMsgDemoTake:
      if (!demo_mode()) return false;
      demo_message(msg);
      return true;
    default:
      return false;
  }
}

void App::demo_message(const AppMessage& msg) {
  if (msg.number == kMsgDemoRepeat) {
    if (Session* s = state_.current_session()) {
      const uint32_t times = msg.param2 > 0 ? static_cast<uint32_t>(msg.param2) : 0;
      start_repeat(*s, static_cast<uint32_t>(msg.param1), times);
    }
  } else if (msg.number == kMsgDemoToggle) {
    simulator_->toggle_present(static_cast<size_t>(msg.param1));
    host_.start_timer(kTimerRescan, kRescanDelayMs);
  } else if (msg.number == kMsgDemoTake) {
    // Waiting tabs see it at their next look.
    (void)simulator_->toggle_taken(static_cast<size_t>(msg.param1));
  } else if (msg.number == kMsgDemoFraming) {
    if (Session* s = state_.current_session()) {
      std::optional<FrameSpec> frame;
      if (msg.param1 != 0) frame = FrameSpec{6, ChecksumKind::Sum, uint8_t{0x54}};
      set_framing(*s, frame, state_.search_text, state_.visible_rows);
      host_.request_repaint();
    }
  }
}

void App::on_device_change() { host_.start_timer(kTimerRescan, kRescanDelayMs); }

void App::drain(Session& s) {
  std::shared_ptr<ReaderChannel> channel = s.channel;
  const std::optional<LinkReport> link_before = s.link;
  const DrainOutcome d =
      drain_session(s, *pass_, state_.visible_rows, host_.clock(), state_.search_text);
  // A reader that reported its end may still be on its way out.
  if (d.ended) let_go(std::move(channel));
  if (d.lost) on_disconnect(s);
  if (d.connected || d.unreached) network_link_outcome(s, d);
  if (s.replay) replay_progress(s);
  if (d.appended > 0 || d.ended || d.connected || s.link != link_before) host_.request_repaint();
}

void App::drain_all() {
  // By index: a drain may raise a notice but never adds or removes a tab.
  for (size_t i = 0; i < state_.sessions.size(); ++i) drain(*state_.sessions[i]);
}

void App::append_line(Session& s, LineRecord record) {
  s.append(std::move(record), state_.search_text);
}

void App::append_mark(Session& s, std::string_view text, Millis at) {
  lw::append_mark(s, text, at, state_.search_text);
}

Session& App::add_session(const PortInfo& port) {
  auto s = std::make_unique<Session>();
  s->id = next_session_id();
  s->port_name = port.name;
  s->description = port.description;
  s->info = port;
  s->device_key = device_key(port);
  s->settings = load_device_settings(settings_, s->device_key);
  s->started_at = host_.clock().local_now();
  s->send = open_send_state(settings_);
  state_.sessions.push_back(std::move(s));
  state_.current = state_.sessions.size() - 1;
  return *state_.sessions.back();
}

Session& App::open_tab(const PortInfo& port) {
  if (Session* existing = tab_for(port)) {
    for (size_t i = 0; i < state_.sessions.size(); ++i) {
      if (state_.sessions[i].get() == existing) select_tab(i);
    }
    return *existing;
  }
  Session& s = add_session(port);
  OpenContext ctx = open_context();
  open_session(s, false, ctx);
  keep_watch_timer();  // a port another program holds is waited for
  host_.request_repaint();
  return s;
}

void App::reopen(Session& s) {
  if (s.is_open() || s.connecting) return;
  OpenContext ctx = open_context();
  if (open_session(s, false, ctx) && s.info.added) keep_added(s);
  keep_watch_timer();
  host_.request_repaint();
}

void App::close_port(Session& s) {
  // A repeat keeps its schedule: its next send finds the port closed and ends it.
  let_go(close_session(s, host_.clock(), state_.search_text));
  if (s.recording) (void)s.recording->flush();
  host_.request_repaint();
}

void App::close_tab(size_t index) {
  if (index >= state_.sessions.size()) return;
  Session& s = *state_.sessions[index];
  // Records still in flight are discarded with the tab.
  let_go(std::move(s.channel));
  const Millis now = host_.clock().local_now();
  const std::optional<std::filesystem::path> saved =
      flush_alert_saves(s.lab.alerts, alert_source(s, state_.log_folder), true, now);
  if (s.recording) {
    s.recording->write_summary(summary_lines(s, now), now);
    s.recording->close();
  }
  state_.sessions.erase(state_.sessions.begin() + static_cast<std::ptrdiff_t>(index));
  keep_repeat_timer();
  if (state_.sessions.empty()) {
    state_.current.reset();
  } else if (state_.current && *state_.current > index) {
    state_.current = *state_.current - 1;
  } else if (state_.current && *state_.current >= state_.sessions.size()) {
    state_.current = state_.sessions.size() - 1;
  }
  if (saved) show_notice(alert_saved_notice(*saved));
  host_.request_repaint();
}

void App::select_tab(size_t index) {
  if (index < state_.sessions.size()) state_.current = index;
  host_.request_repaint();
}

void App::show_notice(Notice notice) { lw::show_notice(state_, host_, std::move(notice)); }

void App::run_notice_action(size_t index) {
  if (!state_.notice || index >= state_.notice->notice.actions.size()) return;
  const NoticeAction action = state_.notice->notice.actions[index];
  switch (action.kind) {
    case NoticeAction::Kind::OpenFile:
      host_.open_file(action.path);
      break;
    case NoticeAction::Kind::OpenFolder:
      host_.open_folder(action.path.parent_path(), action.path);
      break;
    case NoticeAction::Kind::Reconnect:
      reconnect(action.session_id);
      break;
    case NoticeAction::Kind::OpenPage:
      host_.open_url(action.url);
      break;
    case NoticeAction::Kind::StopSending:
      if (Session* s = state_.find_session(action.session_id)) stop_sending(*s);
      break;
  }
}

void App::housekeeping() {
  watch_added_ports();
  retry_network_ports();
  const int64_t now = host_.clock().monotonic_ms();
  auto& recent = state_.recent_arrivals;
  const auto old = std::remove_if(recent.begin(), recent.end(), [&](const RecentArrival& r) {
    return (now - r.at_ms) / 1000 >= kNewBadgeSeconds;
  });
  if (old != recent.end()) {
    recent.erase(old, recent.end());
    host_.request_repaint();
  }
  std::vector<TabLab*> tabs;
  for (auto& s : state_.sessions) {
    if (s->recording) (void)s->recording->flush();
    tabs.push_back(&s->lab);
  }
  flush_values_csv(*state_.lab, tabs);
  std::optional<std::filesystem::path> saved;
  const Millis wall = host_.clock().local_now();
  for (auto& s : state_.sessions) {
    if (auto f =
            flush_alert_saves(s->lab.alerts, alert_source(*s, state_.log_folder), false, wall)) {
      saved = f;
    }
  }
  if (saved) show_notice(alert_saved_notice(*saved));
}

}  // namespace lw
