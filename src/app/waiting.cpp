// Letting another program use a port, and the watch that opens it again:
// a tab that waits keeps its log, recording, values CSV, graph, alerts and
// repeat job; only its port is closed meanwhile.
#include <algorithm>

#include "app/app.h"
#include "app/session_ops.h"

namespace lw {

void App::release_port(Session& s) {
  if (!s.is_open()) return;
  std::shared_ptr<ReaderChannel> running = let_go_session(s, host_.clock(), state_.search_text);
  s.letting_go = running;
  let_go(std::move(running));
  if (s.recording) (void)s.recording->flush();
  keep_watch_timer();
  host_.request_repaint();
}

void App::take_port_back(Session& s) {
  if (!s.is_waiting()) return;
  OpenContext ctx = open_context();
  open_session(s, s.watch->reconnect, ctx);
  keep_watch_timer();
  host_.request_repaint();
}

void App::watch_ports() {
  const int64_t now = host_.clock().monotonic_ms();
  // By index: an open neither adds nor removes a tab.
  for (size_t i = 0; i < state_.sessions.size(); ++i) {
    Session& s = *state_.sessions[i];
    if (!s.watch || !look_due(*s.watch, now)) continue;
    if (auto reader = s.letting_go.lock(); reader && !reader->has_stopped()) continue;
    const PortWatch before = *s.watch;
    const PortLook look = ports_.look_at(s.port_name, s.watch->holder);
    if (after_look(*s.watch, look, now) == WatchStep::Open) {
      OpenContext ctx = open_context();
      open_session(s, s.watch->reconnect, ctx);
      host_.request_repaint();
    } else if (s.watch->holder != before.holder || s.watch->gone != before.gone) {
      host_.request_repaint();  // the state text says who has the port now
    }
  }
  keep_watch_timer();
}

void App::keep_watch_timer() {
  const bool any = std::any_of(state_.sessions.begin(), state_.sessions.end(),
                               [](const auto& s) { return s->watch.has_value(); });
  if (!any) {
    if (watch_timer_on_) host_.stop_timer(kTimerPortWatch);
  } else if (!watch_timer_on_) {
    host_.start_timer(kTimerPortWatch, kPortWatchPeriodMs);
  }
  watch_timer_on_ = any;
}

}  // namespace lw
