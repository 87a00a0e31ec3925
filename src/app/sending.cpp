// What the user sends: the send box, repeats and sequences, presets.
#include "app/app.h"
#include "app/session_ops.h"
#include "base/utf8_path.h"

namespace lw {

namespace {

// A tab as the send code sees it.
class TabTarget final : public SendTarget {
 public:
  TabTarget(App& app, Session& s) : app_(app), s_(s) {}
  bool port_open() override { return s_.is_open() && s_.channel != nullptr; }
  void write_to_port(Bytes bytes) override {
    send_to_port(s_, ReaderCommand::write(std::move(bytes)));
  }
  void log_sent(LineRecord record) override {
    s_.lab.replies.on_send(record.time);
    app_.append_line(s_, std::move(record));
    s_.log.settle_scroll(app_.state().visible_rows);
  }

 private:
  App& app_;
  Session& s_;
};

}  // namespace

bool App::send_line(Session& s, std::string_view text) {
  TabTarget target(*this, s);
  const Status st = send_text(target, s.send, text, host_.clock().local_now());
  if (!st) show_notice(Notice{st.error().text, true, {}});
  host_.request_repaint();
  return st.ok();
}

void App::send_box_enter(Session& s) {
  TabTarget target(*this, s);
  const BoxSend r = send_from_box(target, s.send, s.send_box, host_.clock().local_now());
  if (r.outcome == BoxOutcome::Sent) s.send_box.clear();
  if (r.outcome == BoxOutcome::Kept) show_notice(Notice{r.notice, true, {}});
  host_.request_repaint();
}

void App::start_repeat(Session& s, uint32_t interval_ms, uint32_t times) {
  const uint64_t id = s.id;
  auto r = s.repeater.start_repeat(s.send_box, s.is_open() && s.channel, interval_ms, times > 0,
                                   times, s.send.history, host_.clock().local_now(),
                                   [&](std::string_view text) {
                                     Session* tab = state_.find_session(id);
                                     return tab && send_line(*tab, text);
                                   });
  if (!r) {
    show_notice(Notice{r.error().text, true, {}});
  } else if (r->notice) {
    show_notice(Notice{*r->notice, false, {}});
  }
  keep_repeat_timer();
  host_.request_repaint();
}

void App::stop_repeat(Session& s) {
  s.repeater.stop_repeat();
  keep_repeat_timer();
  host_.request_repaint();
}

void App::send_preset(Session& s, std::string_view text) {
  const uint64_t id = s.id;
  const TickReport r =
      s.repeater.send_preset(text, host_.clock().local_now(), [&](std::string_view step) {
        Session* tab = state_.find_session(id);
        return tab && send_line(*tab, step);
      });
  if (r.notice) show_notice(Notice{*r.notice, false, {}});
  keep_repeat_timer();
}

void App::repeat_tick() {
  const Millis now = host_.clock().local_now();
  for (size_t i = 0; i < state_.sessions.size(); ++i) {
    Session& s = *state_.sessions[i];
    if (!s.repeater.running()) continue;
    if (s.is_waiting()) {
      s.repeater.hold(now);  // the port is lent to another program
      continue;
    }
    const uint64_t id = s.id;
    const TickReport r = s.repeater.repeat_tick(now, [&](std::string_view text) {
      Session* tab = state_.find_session(id);
      return tab && send_line(*tab, text);
    });
    if (r.notice) show_notice(Notice{*r.notice, false, {}});
  }
  keep_repeat_timer();
}

// Timer 7 runs while any tab has a job.
void App::keep_repeat_timer() {
  const bool any = std::any_of(state_.sessions.begin(), state_.sessions.end(),
                               [](const auto& s) { return s->repeater.running(); });
  if (!any) {
    host_.stop_timer(kTimerRepeat);
  } else if (!repeat_timer_on_) {
    host_.start_timer(kTimerRepeat, kRepeatPeriodMs);
  }
  repeat_timer_on_ = any;
}

void App::toggle_record(Session& s) {
  if (s.recording) {
    s.recording.reset();  // flushes and closes
    show_notice(Notice{recording_stopped_text(), false, {}});
  } else {
    s.recording.emplace(state_.log_folder, s.port_name, s.description);
    const std::string name = s.recording->day_file_name(host_.clock().local_now());
    show_notice(
        Notice{recording_started_text(name),
               false,
               {{NoticeAction::Kind::OpenFolder, state_.log_folder / path_from_utf8(name), 0}}});
  }
  host_.request_repaint();
}

}  // namespace lw
