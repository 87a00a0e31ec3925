// Ports on other machines: the open completes on the window thread when the
// reader's link comes up, and a lost link is tried again every few seconds
// while AutoReconnect is on, as a device that comes back is reopened.
#include "app/app.h"
#include "app/session_views.h"
#include "lang/tr.h"
#include "ports/port_list.h"
#include "settings/values.h"

namespace lw {

void App::schedule_retry(Session& s) {
  s.retry_at_ms = 0;
  if (!s.link || !auto_reconnect(settings_)) return;
  s.retry_at_ms = host_.clock().monotonic_ms() + kNetRetryMs;
}

void App::network_link_outcome(Session& s, const DrainOutcome& d) {
  if (d.connected) {
    if (d.was_reconnect) {
      show_notice(
          Notice{fill(tr("{0} 다시 연결됨", "{0} is connected again"), {display_name(s.info)}),
                 false,
                 {}});
    }
    return;
  }
  // A try after a loss that failed: the tab stays lost and tries again.
  if (d.was_reconnect && s.state.kind == ConnectionKind::Disconnected) schedule_retry(s);
}

void App::retry_network_ports() {
  const int64_t now = host_.clock().monotonic_ms();
  for (size_t i = 0; i < state_.sessions.size(); ++i) {
    Session& s = *state_.sessions[i];
    if (s.retry_at_ms == 0 || now < s.retry_at_ms) continue;
    s.retry_at_ms = 0;
    if (s.state.kind != ConnectionKind::Disconnected || s.channel || !auto_reconnect(settings_))
      continue;
    OpenContext ctx = open_context();
    open_session(s, true, ctx);
  }
}

}  // namespace lw
